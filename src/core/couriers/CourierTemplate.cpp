#include "CourierTemplate.h"

#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>

bool IsSenderField(CourierField field)
{
    return field >= CourierField::SenderName && field <= CourierField::SenderWholeAddress;
}

QStringList CourierTemplate::Titles() const
{
    QStringList titles;
    for (const CourierColumn& column : columns)
        titles.append(column.title);
    return titles;
}

bool CourierTemplate::NeedsSender() const
{
    return std::any_of(
        columns.cbegin(), columns.cend(), [](const CourierColumn& c) { return IsSenderField(c.field); });
}

namespace {

using F = CourierField;

CourierTemplate Built(
    const char* name, std::initializer_list<std::pair<const char16_t*, CourierField>> columns)
{
    CourierTemplate t;
    t.name = QString::fromUtf8(name);
    for (const auto& [title, field] : columns)
        t.columns.append({ QString::fromUtf16(title), field, {} });
    return t;
}

} // namespace

QVector<CourierTemplate> BuiltInCourierTemplates()
{
    CourierTemplate split = Built(kSplitAddressTemplate,
        { { u"收件人姓名", F::RecipientName }, { u"收件人手机/电话", F::MobileElseTelephone },
            { u"收件人省", F::Province }, { u"收件人市", F::City }, { u"收件人区", F::District },
            { u"收件人详细地址", F::Street }, { u"物品名称", F::Goods }, { u"数量", F::TotalQuantity },
            { u"商品编码", F::Empty }, { u"销售属性", F::Empty }, { u"备注", F::OrderNumbers },
            { u"寄件人姓名", F::SenderName }, { u"寄件人手机/电话", F::SenderPhone },
            { u"寄件人省", F::SenderProvince }, { u"寄件人市", F::SenderCity },
            { u"寄件人县/区", F::SenderDistrict }, { u"寄件人详细地址", F::SenderStreet },
            { u"订单编号", F::OrderNumbers } });
    CourierTemplate oneLine = Built(kOneLineTemplate,
        { { u"收件人", F::RecipientName }, { u"收件人手机/电话", F::MobileElseTelephone },
            { u"收件地址", F::WholeAddress }, { u"寄件人", F::SenderName },
            { u"寄件人手机/电话", F::SenderPhone }, { u"寄件地址", F::SenderWholeAddress },
            { u"收件公司", F::Empty }, { u"包裹件数", F::FixedText }, { u"托寄物", F::Goods },
            { u"重量", F::Empty }, { u"长", F::Empty }, { u"宽", F::Empty }, { u"高", F::Empty },
            { u"备注(选填)", F::OrderNumbers }, { u"寄件公司", F::Empty }, { u"业务类型", F::Empty },
            { u"包装服务费", F::Empty } });
    // One parcel a row: one piece each.
    oneLine.columns[7].fixedText = QStringLiteral("1");
    CourierTemplate simple = Built(kSimpleTemplate,
        { { u"姓名", F::RecipientName }, { u"电话", F::MobileElseTelephone }, { u"省", F::Province },
            { u"市", F::City }, { u"区", F::District }, { u"详细地址", F::Street }, { u"物品名称", F::Goods },
            { u"重量", F::Empty } });
    return { split, oneLine, simple };
}

namespace {

// The field a template line names, or why it names none.
struct FieldRead {
    bool ok = false;
    CourierColumn column;
    int goodsLimit = 0; // "宝贝 N": N; 0 otherwise
    QString why;
};

FieldRead ReadField(const QString& title, const QString& word)
{
    FieldRead read;
    read.column.title = title;
    const bool quoted = word.size() >= 2
        && ((word.front() == u'"' && word.back() == u'"') || (word.front() == u'“' && word.back() == u'”'));
    if (quoted) {
        read.ok = true;
        read.column.field = CourierField::FixedText;
        read.column.fixedText = word.mid(1, word.size() - 2);
        return read;
    }
    const QStringList words = word.split(u' ', Qt::SkipEmptyParts);
    if (words.size() == 2 && words[0] == QStringLiteral("宝贝")) {
        bool number = false;
        const int limit = words[1].toInt(&number);
        if (!number || limit < 10 || limit > 32767) {
            read.why = QStringLiteral("“宝贝”后的字数要在 10 到 32767 之间");
            return read;
        }
        read.ok = true;
        read.column.field = CourierField::Goods;
        read.goodsLimit = limit;
        return read;
    }
    for (const CourierFieldWord& known : kCourierFieldWords)
        if (word == QStringView(known.word)) {
            read.ok = true;
            read.column.field = known.field;
            return read;
        }
    read.why = QStringLiteral("“%1”不是可用的字段").arg(word);
    return read;
}

} // namespace

CourierTemplateRead ParseCourierTemplate(const QString& name, const QString& text, const QString& file)
{
    const auto refused = [&](int line, const QString& why) {
        return CourierTemplateRead::Failed(QStringLiteral("快递模板 %1 第 %2 行：%3。").arg(file).arg(line).arg(why));
    };
    CourierTemplate result;
    result.name = name;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i).trimmed();
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return refused(i + 1, QStringLiteral("应写成“列名 = 字段”"));
        const QString title = line.left(equals).trimmed();
        if (title.isEmpty())
            return refused(i + 1, QStringLiteral("列名是空的"));
        const FieldRead read = ReadField(title, line.mid(equals + 1).trimmed());
        if (!read.ok)
            return refused(i + 1, read.why);
        result.columns.append(read.column);
        if (read.goodsLimit > 0)
            result.goodsLimit = read.goodsLimit;
    }
    if (result.columns.isEmpty())
        return CourierTemplateRead::Failed(QStringLiteral("快递模板 %1 里没有一列。").arg(file));
    return CourierTemplateRead::Ok(result);
}

QString CourierTemplateFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
        + QString::fromLatin1(kSettingsApp) + QStringLiteral("/couriers");
}

QStringList CourierTemplateNames(const QString& folder)
{
    QStringList names;
    for (const CourierTemplate& builtIn : BuiltInCourierTemplates())
        names.append(builtIn.name);
    QStringList own;
    for (const QString& file : QDir(folder).entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name))
        own.append(file.chopped(4));
    for (const QString& name : std::as_const(own))
        if (!names.contains(name))
            names.append(name);
    return names;
}

CourierTemplateRead FindCourierTemplate(const QString& name, const QString& folder)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".txt"));
    if (!name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return CourierTemplateRead::Failed(QStringLiteral("快递模板 %1 无法读取：%2。")
                    .arg(QDir::toNativeSeparators(path), file.errorString()));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(file.readAll());
        if (utf8.hasError())
            return CourierTemplateRead::Failed(QStringLiteral("快递模板 %1 不是 UTF-8 文本。").arg(QDir::toNativeSeparators(path)));
        return ParseCourierTemplate(name, text, QDir::toNativeSeparators(path));
    }
    for (const CourierTemplate& builtIn : BuiltInCourierTemplates())
        if (builtIn.name == name)
            return CourierTemplateRead::Ok(builtIn);
    return CourierTemplateRead::Failed(QStringLiteral("没有名为“%1”的快递模板（可选：%2）。")
            .arg(name, CourierTemplateNames(folder).join(QStringLiteral("、"))));
}
