#include "ShopMisshape.h"

namespace demo {
namespace {

const QString kNotShipped = QStringLiteral("—");

QString Esc(const QString& text)
{
    return text.toHtmlEscaped();
}

// The usual pieces: recipient, mobile, telephone, the street (which may
// itself hold a "，") and the postcode when the line has one.
struct LinePieces {
    QString street;
    QString postcode;
};

LinePieces PiecesOf(const ShopTrade& t)
{
    const QStringList& p = t.addressPieces;
    const bool withPostcode = p.size() >= 5;
    const qsizetype streetEnd = withPostcode ? p.size() - 1 : p.size();
    return { p.mid(3, streetEnd - 3).join(QStringLiteral("，")), withPostcode ? p.last() : QString() };
}

void EnsurePostcode(ShopTrade& t)
{
    if (t.addressPieces.size() < 5)
        t.addressPieces.append(QStringLiteral("310012"));
}

void EnsureTelephone(ShopTrade& t)
{
    if (t.telephone.isEmpty()) {
        t.telephone = QStringLiteral("0571-88001234");
        t.addressPieces[2] = t.telephone;
    }
}

void Mark(ShopTrade& t, const char* kind)
{
    t.misshape.kind = QString::fromLatin1(kind);
}

void ForceShipped(ShopTrade& t)
{
    if (t.status == QStringLiteral("卖家已发货") || t.status == QStringLiteral("交易成功"))
        return;
    t.status = QStringLiteral("卖家已发货");
    t.rating.clear();
    t.company = QStringLiteral("中通快递");
    t.waybill = QLatin1Char('7') + t.orderNumber.right(11);
}

} // namespace

void ApplyMisshapes(Shop& shop)
{
    const int count = int(shop.trades.size());
    auto trade = [&](int index) { return index < count ? &shop.trades[index] : nullptr; };
    shop.repeatAtPageTop = true;

    if (ShopTrade* t = trade(misshape::kAddressReordered)) {
        EnsurePostcode(*t);
        EnsureTelephone(*t);
        const LinePieces pieces = PiecesOf(*t);
        t->misshape.addressLineHtml = QStringList { Esc(t->recipient), Esc(pieces.street), pieces.postcode,
            t->mobile, t->telephone }.join(QStringLiteral("，"));
        Mark(*t, "address-reordered");
    }
    if (ShopTrade* t = trade(misshape::kAddressSeparators)) {
        EnsurePostcode(*t);
        QString street = Esc(PiecesOf(*t).street);
        // One blank each way: the entity, then the ideographic space.
        street.replace(street.indexOf(QLatin1Char(' ')), 1, QStringLiteral("&nbsp;"));
        street.replace(street.indexOf(QLatin1Char(' ')), 1, QChar(0x3000));
        t->misshape.addressLineHtml = QStringList { Esc(t->recipient), t->mobile, t->telephone, street,
            PiecesOf(*t).postcode }.join(QLatin1Char(','));
        Mark(*t, "address-separators");
    }
    if (ShopTrade* t = trade(misshape::kClosedStatusNbsp)) {
        t->status = QStringLiteral("交易关闭");
        t->rating.clear();
        t->misshape.statusGap = QChar(QChar::Nbsp);
        Mark(*t, "status-nbsp");
    }
    if (ShopTrade* t = trade(misshape::kFourPiecesNoTelephone)) {
        EnsurePostcode(*t);
        t->telephone.clear();
        t->addressPieces[2].clear();
        const LinePieces pieces = PiecesOf(*t);
        t->misshape.addressLineHtml = QStringList { Esc(t->recipient), t->mobile, Esc(pieces.street),
            pieces.postcode }.join(QStringLiteral("，"));
        Mark(*t, "address-without-telephone");
    }
    if (ShopTrade* t = trade(misshape::kHeaderSplit)) {
        t->misshape.headerSplit = true;
        Mark(*t, "header-split");
    }
    if (ShopTrade* t = trade(misshape::kItemExtraCell)) {
        t->misshape.itemExtraCell = true;
        Mark(*t, "item-extra-cell");
    }
    if (ShopTrade* t = trade(misshape::kNoMethodLine)) {
        t->misshape.noMethodLine = true;
        Mark(*t, "no-method-line");
    }
    if (ShopTrade* t = trade(misshape::kShippedNoWaybill)) {
        ForceShipped(*t);
        t->misshape.noWaybillLine = true;
        Mark(*t, "shipped-without-waybill");
    }
    if (ShopTrade* t = trade(misshape::kOrderLetters)) {
        t->misshape.listedOrderNumber = t->orderNumber + QStringLiteral("AB");
        Mark(*t, "order-letters");
    }
    if (ShopTrade* t = trade(misshape::kStreetNotProvince)) {
        // "浙江省 杭州市 …" written "浙江杭州市 …": the province run into the city.
        QStringList& pieces = t->addressPieces;
        QString& street = pieces[3];
        const qsizetype blank = street.indexOf(QLatin1Char(' '));
        if (blank > 0) {
            street = street.left(blank).remove(QStringLiteral("省")) + street.mid(blank + 1);
            if (!street.contains(QLatin1Char(' ')))
                street += QStringLiteral(" 12号");
        } else {
            street = QStringLiteral("浙江杭州市 西湖区 文三路 12号");
        }
        Mark(*t, "street-not-province");
    }
    if (ShopTrade* t = trade(misshape::kCityElsewhere)) {
        EnsurePostcode(*t);
        t->addressPieces[3] = QStringLiteral("浙江省 南京市 玄武区 中山路 8号");
        Mark(*t, "city-elsewhere");
    }
    if (ShopTrade* t = trade(misshape::kClosedStatusNoBlank)) {
        t->status = QStringLiteral("交易关闭");
        t->rating.clear();
        t->misshape.statusGap.clear();
        Mark(*t, "status-no-blank");
    }
    if (ShopTrade* t = trade(misshape::kOtherTemplate)) {
        t->misshape.otherTemplate = true;
        Mark(*t, "other-template");
    }
    if (ShopTrade* t = trade(misshape::kClosedStatusParagraph)) {
        t->status = QStringLiteral("交易关闭");
        t->rating.clear();
        t->misshape.statusParagraph = true;
        Mark(*t, "status-paragraph");
    }
    for (const auto& [index, layout] : { std::pair { misshape::kParcelsRepeatedLines, "lines" },
             std::pair { misshape::kParcelsUnderHeadings, "headings" } }) {
        if (ShopTrade* t = trade(index)) {
            ForceShipped(*t);
            t->misshape.parcelLayout = QString::fromLatin1(layout);
            t->misshape.parcelCompanies = QStringList { t->company, QStringLiteral("圆通速递") };
            t->misshape.parcelWaybills
                = QStringList { t->waybill, QStringLiteral("YT") + t->orderNumber.right(10) };
            t->company = t->misshape.parcelCompanies.join(QStringLiteral("、"));
            t->waybill = t->misshape.parcelWaybills.join(QStringLiteral("、"));
            Mark(*t, layout == QStringLiteral("lines") ? "parcels-lines" : "parcels-headings");
        }
    }
    ShopTrade* unpaid = trade(misshape::kUnpaidTwin);
    ShopTrade* paid = trade(misshape::kPaidUnshipped);
    if (unpaid && paid) {
        paid->status = QStringLiteral("买家已付款");
        paid->rating.clear();
        paid->company = kNotShipped;
        paid->waybill = kNotShipped;
        unpaid->status = QStringLiteral("等待买家付款");
        unpaid->rating.clear();
        unpaid->recipient = paid->recipient;
        unpaid->mobile = paid->mobile;
        unpaid->telephone = paid->telephone;
        unpaid->addressPieces = paid->addressPieces;
        unpaid->company = kNotShipped;
        unpaid->waybill = kNotShipped;
        Mark(*unpaid, "unpaid-twin");
    }
}

} // namespace demo
