#pragma once
// What a check found, as a value. Every check of a command (a list row, a
// list page, a detail page, a status) adds its findings to one list, whether
// or not the trade got a row; the command hands the list back, and the exit
// status, the lines on standard error, the window's findings pane and its
// tints, the slips and the history all read that one list. Nothing a check
// decides lives only in a log line.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// How much a finding weighs.
enum class FindingSeverity {
    Refused = 0, // a field or a whole trade (or page) was left out
    ToCheck = 1, // written as the page shows it, but a look is needed
    Note = 2, // information only
};

enum class FindingKind {
    OrderNumberShape = 0, // the list's order number is not all digits: no row
    ListRowShape = 1, // a list row of another shape: the trade's items not written
    FieldShape = 2, // a value failed its column's shape and was left empty
    AddressToCheck = 3, // a city or district the division list places elsewhere
    ShippedWithoutWaybill = 4, // shipped, but the detail page gives no waybill
    WithoutShippingSection = 5, // the detail page has no shipping section (virtual goods)
    ToShipWithoutRecipient = 6, // waiting to ship, but no recipient could be read
    ShippingSectionRenamed = 7, // shipped trades lack the section this shop's pages had
    StatusNotKnown = 8, // a status outside the known ones: written, never merged or shipped
    ParcelsUnread = 9, // a page of several parcels whose waybills could not all be read
    PageDiffers = 10, // a list page lists more trades than were read
    PageUnreadable = 11, // not one trade of a list page could be read
    PageShort = 12, // a page before the last gave fewer trades than the first
    MaskedMobile = 13, // the page shows the buyer's mobile masked ("138****5678"): written as shown
};

struct Finding {
    QString orderNumber; // the trade; empty for a list page
    int page = 0; // the list page (from 1) for a page finding, else 0
    int column = -1; // the grid column concerned, -1 for the whole trade or page
    FindingKind kind = FindingKind::FieldShape;
    QString seen; // the text the check saw (may be empty)
    FindingSeverity severity = FindingSeverity::Refused;

    bool ConcernsTrade() const { return !orderNumber.isEmpty(); }
    friend bool operator==(const Finding&, const Finding&) = default;
};

// Shortcuts for a finding on a trade and on a list page.
Finding TradeFinding(const QString& orderNumber, FindingKind kind, int column = -1, const QString& seen = {},
    FindingSeverity severity = FindingSeverity::Refused);
Finding PageFinding(int page, FindingKind kind, const QString& seen, FindingSeverity severity);

// The seller's line for one finding, in Chinese, naming the trade or page,
// what was seen and what to do.
QString FindingLine(const Finding& finding);
// A shorter reason, for a list beside the grid that names the trade itself.
QString FindingReason(const Finding& finding);

// The findings of one command, in the order they were made; one finding per
// trade (or page), kind and column.
class FindingList {
public:
    void Add(const Finding& finding);
    void Append(const FindingList& other);
    const QList<Finding>& All() const { return findings_; }
    bool IsEmpty() const { return findings_.isEmpty(); }
    // Any finding of at least this weight (Refused is the heaviest).
    bool Any(FindingSeverity atLeast) const;
    // Trades with a finding of exactly this severity, each once, in order.
    QStringList TradesWith(FindingSeverity severity) const;
    // Every trade named, each once, in order.
    QStringList Trades() const;
    // Pages named, each once.
    int PagesNamed() const;
    // Drops the findings of these trades (rows the closed-trade filter
    // removed: no longer the seller's concern).
    void DropTrades(const QStringList& orderNumbers);

private:
    QList<Finding> findings_;
    // The subjects of findings_ (trade or page, kind, column), so that a
    // walk of thousands of trades adds its findings in linear time.
    QSet<QString> subjects_;
};
