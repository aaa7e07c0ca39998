#pragma once
// The generated shop: what the demo marketplace serves and what its truth
// dump reports. Texts are kept exactly as the pages show them.

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace demo {

struct ShopItem {
    QString title;
    QString options; // "颜色分类：白色 尺码：M" below the title; may be empty
    QString price; // as shown, two decimals: "12.50", "39.00"
    int quantity = 1;
    QString afterSales; // "" or a refund state; the page adds a "投诉维权" link beside it
    bool complaintLink = false;
};

// How a trade's pages differ from the usual shape (see ShopMisshape.h);
// every member at its default is the usual page.
struct TradeMisshape {
    QString kind; // named in the truth dump; empty for a usual trade
    QString addressLineHtml; // the detail page's address line as markup, when it differs
    QString listedOrderNumber; // the order number as the list shows it, when it differs
    bool headerSplit = false; // the list header in two cells: order number, then time
    bool itemExtraCell = false; // the first item row has a cell more at its end
    QString statusGap = QStringLiteral(" "); // markup between the status and its "详情" link
    bool noMethodLine = false; // the detail block lacks the "运送方式：" line
    bool noWaybillLine = false; // the detail block lacks the "运单号：" line
    bool otherTemplate = false; // the list gives the header and the first item in one row
    bool statusParagraph = false; // the status in a paragraph, its links on lines of their own
    // The detail page shows several parcels: "lines" repeats the company and
    // waybill lines, "headings" puts each parcel under "包裹N". The trade's
    // company and waybill are then every parcel's, "、"-joined.
    QString parcelLayout;
    QStringList parcelCompanies;
    QStringList parcelWaybills;
};

struct ShopTrade {
    QString orderNumber; // 16 to 19 digits, unique in the shop
    QString time; // "yyyy-MM-dd HH:mm:ss"
    QList<ShopItem> items;
    QString buyer; // nick, never with blanks
    QString name; // buyer's name, may be empty
    QString status;
    QString amount; // as shown, two decimals
    QString shipping; // postage inside the amount, two decimals
    QString rating;
    QString recipient;
    QString mobile;
    QString telephone; // may be empty
    QStringList addressPieces; // the address line split at "，"
    QString shippingMethod;
    QString company; // "—" when not shipped
    QString waybill; // "—" when not shipped
    QString headerGap = QStringLiteral(" "); // markup between order number and time in the list header
    bool virtualGoods = false; // a top-up: its detail page has no shipping block, so no recipient
    bool renamedAddressLabel = false; // the detail page says "收货人信息：" instead of "收货地址："
    QString buyerMessage; // 买家留言, "\n" between lines; empty for none
    QString sellerMemo; // 卖家备注
    bool notesLabels = false; // the detail page shows both labels even when empty
    TradeMisshape misshape;
    QString addressForm; // an everyday address form of ShopAddressForms.h; empty for the usual line
    QStringList addressCells; // with a form: 收件人 to 邮编 as a reader writes them

    QString AddressLine() const { return addressPieces.join(QStringLiteral("，")); }
    // Whether a reader of the detail page can find the recipient block.
    bool HasShippingData() const { return !virtualGoods && !renamedAddressLabel; }
};

struct Shop {
    QString nick;
    quint64 seed = 0;
    int pages = 0;
    int perPage = 0;
    // Page 2 and later begin with the last trade of the page before, as a
    // list does when new orders arrive while the seller pages.
    bool repeatAtPageTop = false;
    // From this list page on (0: never) the table keeps its head but the
    // trades come as data in a script, as pages built in the browser do.
    int rowsInScriptFrom = 0;
    QList<ShopTrade> trades; // newest first; page p holds trades [p*perPage, (p+1)*perPage)

    // Number of list pages: at least one, also for an empty shop.
    int PageCount() const { return pages < 1 ? 1 : pages; }
    const ShopTrade* FindTrade(const QString& orderNumber) const;
    ShopTrade* FindTrade(const QString& orderNumber)
    {
        return const_cast<ShopTrade*>(std::as_const(*this).FindTrade(orderNumber));
    }
};

} // namespace demo
