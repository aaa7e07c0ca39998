#include "CourierFields.h"

#include "core/address/AdminDivisions.h"
#include "core/grid/ItemRecord.h"
#include "core/text/Blanks.h"
#include "core/text/TextHelpers.h"

#include <algorithm>
#include <functional>

namespace {

QString WithoutBlanks(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text)
        if (!IsAnyBlank(c))
            plain += c;
    return plain;
}

// Characters, a surrogate pair counting as one.
qsizetype CharacterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count)
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            ++i;
    return count;
}

// The first count characters, never half a pair.
QString LeftCharacters(const QString& text, qsizetype count)
{
    qsizetype units = 0;
    for (qsizetype taken = 0; units < text.size() && taken < count; ++taken)
        units += text[units].isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return text.left(units);
}

// The option values of "颜色分类：白色 尺码：L": "白色 L".
QString OptionValues(const QString& options)
{
    QStringList values;
    for (const QString& word : options.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = word.indexOf(u'：');
        const QString value = colon < 0 ? word : word.mid(colon + 1);
        if (!value.isEmpty())
            values.append(value);
    }
    return values.join(u' ');
}

const QString kSeparator = QStringLiteral("；");

} // namespace

QString FullProvince(const QString& province)
{
    const QString plain = WithoutBlanks(province);
    const QString full = AdminDivisions::National().FullProvinceName(plain);
    return full.isEmpty() ? plain : full;
}

QString SheetCity(const QString& province, const QString& city)
{
    const QString municipality = AdminDivisions::National().MunicipalityOf(WithoutBlanks(province));
    return municipality.isEmpty() ? WithoutBlanks(city) : municipality;
}

QString StreetText(
    const QString& province, const QString& city, const QString& district, const QString& street)
{
    // Only whole names are dropped: a street may well begin with a
    // province's short form (浙江路 in 上海).
    const QStringList written { FullProvince(province), SheetCity(province, city), WithoutBlanks(district) };
    QString rest = WithoutBlanks(street);
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (const QString& piece : written)
            if (piece.size() >= 2 && rest.size() > piece.size() && rest.startsWith(piece)) {
                rest = rest.mid(piece.size());
                dropped = true;
            }
    }
    return rest;
}

QString WholeAddress(
    const QString& province, const QString& city, const QString& district, const QString& street)
{
    QString whole = FullProvince(province);
    const QString sheetCity = SheetCity(province, city);
    if (sheetCity != whole)
        whole += sheetCity;
    const QString plainDistrict = WithoutBlanks(district);
    if (plainDistrict != sheetCity)
        whole += plainDistrict;
    return whole + StreetText(province, city, district, street);
}

QString FirstNumber(const QString& numbers)
{
    return numbers.section(QStringLiteral(" / "), 0, 0).trimmed();
}

QString MobileElseTelephone(const QString& mobiles, const QString& telephones)
{
    const QString mobile = FirstNumber(mobiles);
    return mobile.isEmpty() ? FirstNumber(telephones) : mobile;
}

qint64 TotalPieces(const QVector<SlipItem>& items)
{
    qint64 pieces = 0;
    for (const SlipItem& item : items)
        pieces += qint64(LeadingNumber(item.quantity));
    return pieces;
}

QString GoodsText(const QVector<SlipItem>& items, int limit)
{
    QStringList entries;
    for (const SlipItem& item : items) {
        const QString values = OptionValues(item.options);
        entries.append(item.title + (values.isEmpty() ? QString() : u' ' + values) + QStringLiteral(" ×")
            + item.quantity.trimmed());
    }
    const QString whole = entries.join(kSeparator);
    if (CharacterCount(whole) <= limit)
        return whole;
    const QString more = QStringLiteral("等%1件").arg(TotalPieces(items));
    const qsizetype room = std::max<qsizetype>(0, limit - CharacterCount(more));
    QString kept;
    for (const QString& entry : std::as_const(entries)) {
        const QString longer = kept.isEmpty() ? entry : kept + kSeparator + entry;
        if (CharacterCount(longer) > room)
            break;
        kept = longer;
    }
    if (kept.isEmpty())
        kept = LeftCharacters(entries.value(0), room);
    return kept + more;
}

namespace {

// The shortest start of text that names a division by ok and ends in one
// of the words divisions end in, or that start with the 市 after it (杭州
// and 杭州市 both name the city); its length, or 0. The shortest, since a
// place listed without divisions below it takes any name.
qsizetype DivisionPrefix(const QString& text, const std::function<bool(QStringView)>& ok)
{
    static const QStringList endings { QStringLiteral("市"), QStringLiteral("区"), QStringLiteral("县"),
        QStringLiteral("州"), QStringLiteral("盟"), QStringLiteral("地区"), QStringLiteral("旗") };
    const auto names = [&](qsizetype length) {
        if (length < 2 || length >= text.size())
            return false;
        const QStringView start = QStringView(text).first(length);
        return std::any_of(endings.cbegin(), endings.cend(), [&](const QString& e) {
            return start.endsWith(e);
        }) && ok(start);
    };
    for (qsizetype length = 2; length <= 12; ++length)
        if (names(length))
            return text.at(length) == u'市' && names(length + 1) ? length + 1 : length;
    return 0;
}

} // namespace

AddressPieces SplitAddress(const QString& address)
{
    AddressPieces pieces;
    const AdminDivisions& divisions = AdminDivisions::National();
    QString rest = WithoutBlanks(address);
    if (!divisions.IsLoaded()) {
        const QStringList words = address.simplified().split(u' ');
        if (words.size() < 4)
            return pieces;
        return { true, words[0], words[1], words[2], words.mid(3).join(QString()) };
    }
    qsizetype provinceLength = 0;
    for (qsizetype length = std::min<qsizetype>(rest.size() - 1, 10); length >= 2 && provinceLength == 0;
         --length)
        if (divisions.IsProvince(QStringView(rest).first(length)))
            provinceLength = length;
    if (provinceLength == 0)
        return pieces;
    const QString province = rest.left(provinceLength);
    rest = rest.mid(provinceLength);
    pieces.province = FullProvince(province);
    const QString municipality = divisions.MunicipalityOf(province);
    const qsizetype cityLength
        = DivisionPrefix(rest, [&](QStringView c) { return divisions.IsCityOf(province, c); });
    pieces.city = municipality.isEmpty() ? rest.left(cityLength) : municipality;
    rest = rest.mid(cityLength);
    const qsizetype districtLength = DivisionPrefix(
        rest, [&](QStringView d) { return divisions.IsDistrictOf(province, pieces.city, d); });
    pieces.district = rest.left(districtLength);
    pieces.street = rest.mid(districtLength);
    pieces.split = !pieces.city.isEmpty() && !pieces.street.isEmpty();
    return pieces;
}
