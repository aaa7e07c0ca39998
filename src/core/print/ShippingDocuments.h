#pragma once
// The day's two shipping documents, read from the trade grid: the picking
// list (每种宝贝和规格拣多少件) and one packing slip per parcel. Both cover
// the rows still to ship: trades the buyer has paid for that have not
// left (买家已付款, 等待卖家发货) and whose recipient is known. The items
// come from the grid's hidden item column, so a merged grid gives the same
// documents as the grid before the merge.

#include "core/grid/NoteRecord.h"
#include "core/trade/Finding.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class TradeGrid;

// The data rows the documents are drawn from: all, or first … last.
struct DocumentRows {
    std::optional<std::pair<int, int>> only;
};

struct PickLine {
    QString title;
    QString options; // 颜色分类：白色 尺码：M; empty for an item without
    QString unitPrice;
    qint64 quantity = 0;
    QStringList orders; // the trades that hold the item, in grid order
};

struct PickingList {
    QVector<PickLine> lines; // by title, options, then price
    qint64 totalQuantity = 0;
    int totalOrders = 0; // trades, each counted once
    // The trades on the list with a buyer's message: their order numbers
    // carry a mark, so the picker reads it on the slip.
    QSet<QString> ordersWithNotes;
    // The seller's memo of each trade that has one: the packer's note,
    // printed beside its order number on the list.
    QHash<QString, QString> memos;
};

struct SlipItem {
    QString title;
    QString options;
    QString quantity;
};

// A parcel: what the merge folds into one row.
struct PackingSlip {
    QString recipient;
    QString mobile;
    QString telephone;
    QString province;
    QString city;
    QString district;
    QString address;
    QString postcode;
    QVector<SlipItem> items;
    QStringList orders;
    bool addressToCheck = false; // a trade of the parcel has its address to check: "请核对地址"
    // Each trade's message and memo, in the order of orders; trades with
    // neither are left out.
    QVector<TradeNotes> notes;
};

struct ShippingDocuments {
    QString shop;
    QDate date;
    PickingList picking;
    QVector<PackingSlip> slips;
    // Trades to ship that are on neither document: their recipient is
    // unknown (the detail page could not be read).
    QStringList withoutRecipient;
    // Trades to ship whose recipient or address the tool refused (a field
    // left empty): a slip would send the parcel to half an address.
    QStringList recipientRefused;
    // Whether the slips print the seller's memo too. The slip goes into
    // the parcel, and the memo is the seller's own ("VIP 老客户"): off
    // unless the seller asks (the setting 发货单打印卖家备注).
    bool memoOnSlips = false;

    bool NothingToShip() const { return slips.isEmpty(); }
};

// Whether a status cell (one status, or the joined statuses of a merged
// row) is that of goods paid for and not yet shipped.
bool IsToShipStatus(const QString& statusCell);

// findings: what the checks found on the grid's trades; a trade with a
// refused recipient column gets no slip, one with its address to check a
// slip that says so. A status outside the known ones is never to ship.
ShippingDocuments CollectShippingDocuments(const TradeGrid& grid, const DocumentRows& rows,
    const QString& shop, const QDate& date, const FindingList& findings = {});

// The slips' end line: how many trades to ship got no slip, and why; empty
// when every one has its slip.
QString SlipsEndLine(const ShippingDocuments& documents);

inline const char* const kNothingToShipMessage
    = "没有待发货的交易（买家已付款、等待卖家发货并有收件人），没有生成拣货单和发货单。";

// What the user is told about the documents before they are printed: that
// there is nothing to ship (kNothingToShipMessage), and which trades were
// left out.
QStringList ShippingDocumentMessages(const ShippingDocuments& documents);
