#pragma once
// The marketplace's pages, rendered from the shop. Every page uses CR LF
// line breaks. List and back-office pages are UTF-8; trade detail pages are
// GBK, as the marketplace serves them.

#include "ShopData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace demo {

namespace paths {
inline const QString kLogin = QStringLiteral("/member/login.jhtml");
inline const QString kLogout = QStringLiteral("/member/logout.jhtml");
inline const QString kBackOffice = QStringLiteral("/seller_admin.htm");
inline const QString kSoldItems = QStringLiteral("/trade/itemlist/list_sold_items.htm");
inline const QString kTradeDetail = QStringLiteral("/trade/detail/trade_item_detail.htm");
inline const QString kDownload = QStringLiteral("/download");
// ?order=N&status=S: the trade's status becomes S (one of
// kChangeableStatuses), as when a buyer asks for a refund after the walk.
inline const QString kChangeStatus = QStringLiteral("/demo/change-status");
} // namespace paths

// The marker by which a client knows a detail page arrived whole.
inline const QString kDetailCompleteMarker = QStringLiteral(">关于淘宝</");

QString SoldItemsAddress(int page);
QString TradeDetailAddress(const QString& orderNumber);

// UTF-8 pages.
QByteArray LoginPage(const QString& redirectUrl, const QString& message);
QByteArray BackOfficePage(const Shop& shop);
// page counts from 1 and must be in 1..shop.PageCount().
QByteArray SoldItemsPage(const Shop& shop, int page);
QByteArray DownloadPage(const QString& version);
QByteArray NotFoundPage();
// What the status change says; an empty status: the order or the status was
// not known, nothing changed.
QByteArray StatusChangedPage(const QString& orderNumber, const QString& status);

// The statuses a trade may be changed to after the walk.
inline const QStringList kChangeableStatuses { QStringLiteral("退款中"), QStringLiteral("卖家已同意退款"),
    QStringLiteral("交易关闭"), QStringLiteral("卖家已发货"), QStringLiteral("等待卖家发货") };

// GBK pages.
QByteArray TradeDetailPage(const Shop& shop, const ShopTrade& trade);
QByteArray TradeMissingPage(const Shop& shop, const QString& orderNumber);
QByteArray BusyPage();

// A page's text as GBK bytes (GB18030, which gives every GBK character its
// GBK bytes), and back; line breaks as they are.
QByteArray GbkBytes(const QString& text);
QString FromGbk(const QByteArray& bytes);

// The charset names the pages declare.
inline const QByteArray kUtf8Html = "text/html; charset=utf-8";
inline const QByteArray kGbkHtml = "text/html; charset=GBK";

} // namespace demo
