#pragma once
// A trade's detail page read: its recipient and logistics block, and the
// block written into the detail columns of the trade's row with every
// value checked against its column's shape.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TradeGrid;

// The "收货和物流信息" block of a detail page: the address line (the text
// after "收货地址：" up to the first of the other labels) and each labelled
// line, from its label to the next, blanks made plain. None when the page
// lacks the section, its "收货地址：" label or the "我对购买流程有意见或建议"
// line below it; a missing label leaves its own value missing.
// A page of several parcels (several "运单号：" lines, or a "包裹2"
// heading) gives every company and waybill line in the page's order;
// company and waybill are then those lines "、"-joined.
struct RecipientBlock {
    QString addressLine;
    std::optional<QString> method; // 运送方式：
    std::optional<QString> company; // 物流公司名称：
    std::optional<QString> waybill; // 运单号：
    QStringList companies;
    QStringList waybills;
    int parcels = 1; // the parcels the page shows
    bool strayText = false; // text in the section that is no line's value, heading or link
    bool companyShared = false; // one company line before every parcel's waybill
};
std::optional<RecipientBlock> FindRecipientBlock(QString pageText);

// What the checks found while a block was written.
struct DetailFindings {
    bool unreadable = false; // a value failed its column's shape and was left out
    bool addressToCheck = false; // a city or district not where the division list has it
    bool shippedWithoutWaybill = false; // the status says shipped, the block has no waybill
    bool parcelsUnread = false; // several parcels whose lines do not pair up: none written
    bool maskedMobile = false; // the mobile is shown masked: written as shown, a note only
    QList<int> refusedColumns; // the columns left empty because their value failed

    bool IsClean() const
    {
        return !unreadable && !addressToCheck && !shippedWithoutWaybill && !parcelsUnread;
    }
};

// Writes the block's values into the detail columns of row: every column
// whose value passed its checks, the others empty. status is the trade's
// status in the list.
DetailFindings WriteRecipientColumns(
    TradeGrid& grid, int row, const RecipientBlock& block, const QString& status);
