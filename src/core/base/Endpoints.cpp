#include "Endpoints.h"

#include <QUrl>

Endpoints DefaultEndpoints()
{
    Endpoints e;
    e.startUrl = QStringLiteral("https://login.taobao.com/member/login.jhtml?redirectURL="
                                "http%3A%2F%2Fmai.taobao.com%2Fseller_admin.htm");
    e.tradeBase = QStringLiteral("https://trade.taobao.com");
    e.updateUrl = QStringLiteral("http://www.lumetra-soft.com/download.asp?ID=");
    e.soldItemsUrl = QStringLiteral("https://trade.taobao.com/trade/itemlist/list_sold_items.htm");
    return e;
}

QString TradeDetailAddress(const Endpoints& endpoints, const QString& orderNumber)
{
    QString base = endpoints.tradeBase;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/trade/detail/trade_item_detail.htm?bizOrderId=")
        + QString::fromLatin1(QUrl::toPercentEncoding(orderNumber));
}

bool IsLoginAddress(const QUrl& url)
{
    return url.path().endsWith(QStringLiteral("/login.jhtml"), Qt::CaseInsensitive)
        || url.host().startsWith(QStringLiteral("login."), Qt::CaseInsensitive);
}
