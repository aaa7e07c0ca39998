#include "ShopTruth.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace demo {

QByteArray ShopTruthJson(const Shop& shop)
{
    QJsonArray trades;
    for (int i = 0; i < shop.trades.size(); ++i) {
        // A trade whose recipient block a reader cannot find reports no
        // shipping texts, even where its page shows some under another label.
        ShopTrade t = shop.trades[i];
        if (!t.HasShippingData()) {
            for (QString* text :
                { &t.recipient, &t.mobile, &t.telephone, &t.shippingMethod, &t.company, &t.waybill })
                text->clear();
            t.addressPieces.clear();
        }
        QJsonArray items;
        for (const ShopItem& item : t.items) {
            items.append(QJsonObject { { QStringLiteral("title"), item.title },
                { QStringLiteral("options"), item.options },
                { QStringLiteral("price"), item.price }, { QStringLiteral("quantity"), item.quantity },
                { QStringLiteral("afterSales"), item.afterSales },
                { QStringLiteral("complaintLink"), item.complaintLink } });
        }
        trades.append(QJsonObject { { QStringLiteral("page"), i / shop.perPage + 1 },
            { QStringLiteral("orderNumber"), t.orderNumber }, { QStringLiteral("time"), t.time },
            { QStringLiteral("items"), items }, { QStringLiteral("buyer"), t.buyer },
            { QStringLiteral("name"), t.name }, { QStringLiteral("status"), t.status },
            { QStringLiteral("amount"), t.amount }, { QStringLiteral("shipping"), t.shipping },
            { QStringLiteral("rating"), t.rating }, { QStringLiteral("recipient"), t.recipient },
            { QStringLiteral("mobile"), t.mobile }, { QStringLiteral("telephone"), t.telephone },
            { QStringLiteral("addressPieces"), QJsonArray::fromStringList(t.addressPieces) },
            { QStringLiteral("addressLine"), t.AddressLine() },
            { QStringLiteral("shippingMethod"), t.shippingMethod }, { QStringLiteral("company"), t.company },
            { QStringLiteral("waybill"), t.waybill }, { QStringLiteral("shippingData"), t.HasShippingData() },
            { QStringLiteral("buyerMessage"), t.buyerMessage },
            { QStringLiteral("sellerMemo"), t.sellerMemo } });
        if (!t.misshape.kind.isEmpty()) {
            QJsonObject last = trades.last().toObject();
            last.insert(QStringLiteral("misshape"), t.misshape.kind);
            trades[trades.size() - 1] = last;
        }
        if (!t.addressForm.isEmpty()) {
            QJsonObject last = trades.last().toObject();
            last.insert(QStringLiteral("addressForm"), t.addressForm);
            last.insert(QStringLiteral("addressCells"), QJsonArray::fromStringList(t.addressCells));
            trades[trades.size() - 1] = last;
        }
    }
    const QJsonObject root { { QStringLiteral("nick"), shop.nick },
        { QStringLiteral("seed"), QString::number(shop.seed) }, { QStringLiteral("pages"), shop.PageCount() },
        { QStringLiteral("perPage"), shop.perPage }, { QStringLiteral("trades"), trades } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool WriteShopTruth(const Shop& shop, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ShopTruthJson(shop)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace demo
