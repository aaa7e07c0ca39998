#include "CourierSheet.h"

#include "CourierFields.h"

#include <QSet>

namespace {

const QString kJoin = QStringLiteral("、");

// A buyer's or seller's text on one line: an import row holds no break.
QString OneLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(u'\r', u'\n');
    return line.split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral(" / "));
}

// Each trade's text of the parcel, "order：text" when the parcel holds
// several trades, so the packer knows whose it is.
QString NotesText(const PackingSlip& slip, QString TradeNotes::*which)
{
    QStringList texts;
    for (const TradeNotes& notes : slip.notes) {
        const QString text = OneLine(notes.*which);
        if (text.isEmpty())
            continue;
        texts.append(slip.orders.size() > 1 ? notes.order + QStringLiteral("：") + text : text);
    }
    return texts.join(QStringLiteral("；"));
}

QString CellOf(const CourierColumn& column, const PackingSlip& slip, const CourierTemplate& t,
    const CourierSender& sender, const AddressPieces& from)
{
    switch (column.field) {
    case CourierField::RecipientName:
        return slip.recipient;
    case CourierField::Mobile:
        return FirstNumber(slip.mobile);
    case CourierField::Telephone:
        return FirstNumber(slip.telephone);
    case CourierField::MobileElseTelephone:
        return MobileElseTelephone(slip.mobile, slip.telephone);
    case CourierField::Province:
        return FullProvince(slip.province);
    case CourierField::City:
        return SheetCity(slip.province, slip.city);
    case CourierField::District:
        return slip.district;
    case CourierField::Street:
        return StreetText(slip.province, slip.city, slip.district, slip.address);
    case CourierField::WholeAddress:
        return WholeAddress(slip.province, slip.city, slip.district, slip.address);
    case CourierField::Postcode:
        return slip.postcode;
    case CourierField::Goods:
        return GoodsText(slip.items, t.goodsLimit);
    case CourierField::TotalQuantity:
        return QString::number(TotalPieces(slip.items));
    case CourierField::OrderNumbers:
        return slip.orders.join(kJoin);
    case CourierField::BuyerMessage:
        return NotesText(slip, &TradeNotes::message);
    case CourierField::SellerMemo:
        return NotesText(slip, &TradeNotes::memo);
    case CourierField::SenderName:
        return sender.name.trimmed();
    case CourierField::SenderPhone:
        return sender.phone.trimmed();
    case CourierField::SenderProvince:
        return from.province;
    case CourierField::SenderCity:
        return from.city;
    case CourierField::SenderDistrict:
        return from.district;
    case CourierField::SenderStreet:
        return from.street;
    case CourierField::SenderWholeAddress:
        return from.split ? WholeAddress(from.province, from.city, from.district, from.street)
                          : QString(sender.address).remove(u' ');
    case CourierField::Empty:
        return QString();
    case CourierField::FixedText:
        return column.fixedText;
    }
    return QString();
}

void LeaveOut(CourierSheet& sheet, QSet<QString>& named, const QStringList& orders, const QString& reason)
{
    for (const QString& order : orders)
        if (!named.contains(order)) {
            named.insert(order);
            sheet.leftOut.append({ order, reason });
        }
}

} // namespace

Done CheckCourierSender(const CourierTemplate& courierTemplate, const CourierSender& sender)
{
    QStringList missing;
    bool splits = false;
    for (const CourierColumn& column : courierTemplate.columns) {
        QString what;
        if (column.field == CourierField::SenderName && sender.name.trimmed().isEmpty())
            what = QStringLiteral("姓名");
        else if (column.field == CourierField::SenderPhone && sender.phone.trimmed().isEmpty())
            what = QStringLiteral("电话");
        else if (IsSenderField(column.field) && column.field != CourierField::SenderName
            && column.field != CourierField::SenderPhone && sender.address.trimmed().isEmpty())
            what = QStringLiteral("地址");
        splits = splits
            || (column.field >= CourierField::SenderProvince && column.field <= CourierField::SenderStreet);
        if (!what.isEmpty() && !missing.contains(what))
            missing.append(what);
    }
    if (!missing.isEmpty())
        return Done::Failed(QStringLiteral("快递模板“%1”要填寄件人的%2，但还没有填写。请在“导出快递导入表…”里填写寄件人，"
                              "无人值守时也可用 --sender-name、--sender-phone、--sender-address。")
            .arg(courierTemplate.name, missing.join(kJoin)));
    if (splits && !SplitAddress(sender.address).split)
        return Done::Failed(QStringLiteral("快递模板“%1”要把寄件人地址分成省、市、区，但“%2”分不出来。"
                              "请写成“省 市 区 详细地址”，如“浙江省 杭州市 西湖区 文三路7号”。")
            .arg(courierTemplate.name, sender.address));
    return Done::Ok();
}

CourierSheet BuildCourierSheet(const ShippingDocuments& documents, const CourierTemplate& courierTemplate,
    const CourierSender& sender, const CourierChoices& choices)
{
    CourierSheet sheet;
    sheet.templateName = courierTemplate.name;
    sheet.header = courierTemplate.Titles();
    const AddressPieces from = SplitAddress(sender.address);
    QSet<QString> named;
    LeaveOut(sheet, named, documents.recipientRefused, QStringLiteral("收货地址没有读准，请在淘宝上核对"));
    LeaveOut(sheet, named, documents.withoutRecipient, QStringLiteral("没有读到收件人"));
    for (const PackingSlip& slip : documents.slips) {
        if (slip.addressToCheck && !choices.includeToCheck) {
            ++sheet.toCheckLeftOut;
            LeaveOut(sheet, named, slip.orders, QStringLiteral("市或区与全国行政区划不符，请核对地址"));
            continue;
        }
        sheet.toCheckWritten += slip.addressToCheck ? 1 : 0;
        QStringList row;
        for (const CourierColumn& column : courierTemplate.columns)
            row.append(CellOf(column, slip, courierTemplate, sender, from));
        sheet.rows.append(row);
    }
    return sheet;
}

QStringList CourierSheetMessages(const CourierSheet& sheet)
{
    QStringList messages;
    if (!sheet.leftOut.isEmpty()) {
        QStringList named;
        for (const LeftOutTrade& trade : sheet.leftOut)
            named.append(QStringLiteral("订单编号 %1（%2）").arg(trade.order, trade.reason));
        messages.append(QStringLiteral("有 %1 笔待发货的交易没有写入快递导入表：%2。")
                            .arg(sheet.leftOut.size())
                            .arg(named.join(QStringLiteral("；"))));
    }
    if (sheet.toCheckLeftOut > 0)
        messages.append(QStringLiteral("其中 %1 个包裹的地址需要核对；核对后，在“导出快递导入表…”里勾选"
                                       "“包括地址需核对的包裹”即可一并导出。")
                            .arg(sheet.toCheckLeftOut));
    if (sheet.toCheckWritten > 0)
        messages.append(QStringLiteral("快递导入表里有 %1 个包裹的地址需要核对，已照原样写入。")
                            .arg(sheet.toCheckWritten));
    if (sheet.rows.isEmpty())
        messages.append(QStringLiteral("没有待发货的包裹，快递导入表只有标题行。"));
    return messages;
}
