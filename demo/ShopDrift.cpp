#include "ShopDrift.h"

namespace demo {
namespace {

const QString kNotShipped = QStringLiteral("—");

qint64 Cents(const QString& money) // "12.50" -> 1250; the shop writes two decimals
{
    return QString(money).remove(QLatin1Char('.')).toLongLong();
}

QString Money(qint64 cents)
{
    return QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

bool IsShipped(const ShopTrade& t)
{
    return t.status == QStringLiteral("卖家已发货") || t.status == QStringLiteral("交易成功");
}

void SetSingleItem(ShopTrade& t, const QString& title, const QString& price, int quantity)
{
    ShopItem item = t.items.value(0);
    item.title = title;
    item.price = price;
    item.quantity = quantity;
    t.items = { item };
    t.amount = Money(Cents(price) * quantity + Cents(t.shipping));
}

void ShareParcel(ShopTrade& upper, ShopTrade& lower)
{
    if (!IsShipped(upper)) {
        // A waybill from the order number, so that no dice are needed and
        // it stays unique in the shop.
        upper.status = QStringLiteral("卖家已发货");
        upper.rating.clear();
        upper.company = QStringLiteral("中通快递");
        upper.waybill = QLatin1Char('7') + upper.orderNumber.right(11);
    }
    SetSingleItem(upper, QStringLiteral("帽子"), QStringLiteral("19.90"), 15);
    SetSingleItem(lower, QStringLiteral("帽"), QStringLiteral("9.90"), 5);
    lower.status = upper.status;
    lower.rating = upper.rating;
    lower.buyer = upper.buyer;
    lower.name = upper.name;
    lower.recipient = upper.recipient;
    lower.mobile = upper.mobile;
    lower.telephone = upper.telephone;
    lower.addressPieces = upper.addressPieces;
    lower.shippingMethod = upper.shippingMethod;
    lower.company = upper.company;
    lower.waybill = upper.waybill;
}

void CloseBelowLiveTwin(ShopTrade& live, ShopTrade& closed)
{
    live.status = QStringLiteral("买家已付款");
    live.rating.clear();
    live.company = kNotShipped;
    live.waybill = kNotShipped;
    closed.status = QStringLiteral("交易关闭");
    closed.rating.clear();
    closed.recipient = live.recipient;
    closed.mobile = live.mobile;
    closed.telephone = live.telephone;
    closed.addressPieces = live.addressPieces;
    closed.company = kNotShipped;
    closed.waybill = kNotShipped;
}

} // namespace

void ApplyDrift(Shop& shop)
{
    const int count = int(shop.trades.size());
    for (int i = 0; i < count; ++i) {
        const int position = i % shop.perPage;
        for (int nbsp : drift::kNbspPositions) {
            if (position == nbsp)
                shop.trades[i].headerGap = QStringLiteral("&nbsp;");
        }
    }
    auto has = [count](int index) { return index < count; };
    if (has(drift::kNoBlankTrade))
        shop.trades[drift::kNoBlankTrade].headerGap.clear();
    // Both parcel trades on one page.
    if (has(drift::kParcelLowerTrade) && drift::kParcelLowerTrade < shop.perPage)
        ShareParcel(shop.trades[drift::kParcelUpperTrade], shop.trades[drift::kParcelLowerTrade]);
    if (has(drift::kRenamedLabelTrade))
        shop.trades[drift::kRenamedLabelTrade].renamedAddressLabel = true;
    if (has(drift::kClosedTwinTrade))
        CloseBelowLiveTwin(shop.trades[drift::kLiveUnshippedTrade], shop.trades[drift::kClosedTwinTrade]);
}

void MakeVirtualGoods(Shop& shop, int every)
{
    if (every < 1)
        return;
    for (qsizetype i = every - 1; i < shop.trades.size(); i += every) {
        ShopTrade& t = shop.trades[i];
        t.virtualGoods = true;
        // A top-up is paid, delivered or not yet paid; it is never shipped,
        // and a closed one would leave the grid before anyone sees it.
        if (t.status != QStringLiteral("交易成功") && t.status != QStringLiteral("等待买家付款"))
            t.status = QStringLiteral("买家已付款");
        if (t.status != QStringLiteral("交易成功"))
            t.rating.clear();
        t.recipient.clear();
        t.mobile.clear();
        t.telephone.clear();
        t.addressPieces.clear();
        t.shippingMethod.clear();
        t.company.clear();
        t.waybill.clear();
    }
}

} // namespace demo
