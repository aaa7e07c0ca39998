#pragma once
// The packing bench's 验货 window: one input that keeps the focus, for a
// barcode scanner that types a code and Enter. A scan finds the parcel of
// the day's slips and shows it in large type (recipient, every item,
// the buyer's message and the seller's memo, the count of trades), then
// checks its trades' statuses on the marketplace again: green to ship, red
// with a sound to stop, amber when the check could not be made.

#include "core/packcheck/ParcelIndex.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/packcheck/ParcelStatusCheck.h"

#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class TradeGrid;
class FindingList;

// Where the window reads the day's parcels from: the grid and the checks'
// findings as they are when the window is shown.
struct PackCheckSource {
    std::function<const TradeGrid&()> grid;
    std::function<const FindingList&()> findings;
};

class PackCheckWindow : public QWidget {
    Q_OBJECT
public:
    PackCheckWindow(PackCheckSource source, PageFetcher& fetcher, const Endpoints& endpoints,
        const QString& marksPath = DefaultParcelMarksPath(), QWidget* parent = nullptr);

    // The parcels read from the grid again: done as the window is shown,
    // and at the next scan after the grid changed.
    void Refresh();
    // What Enter in the input does.
    void Scan(const QString& typed);

signals:
    // The status check of a scan ended and its answer is shown.
    void Answered(ParcelVerdict verdict);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowParcel(const Parcel& parcel);
    void ShowAnswer(const ParcelCheck& check);
    void ShowVerdict(const QString& text, const QString& colour);
    void ShowCounts();

    PackCheckSource source_;
    ParcelIndex index_;
    ParcelMarks marks_;
    ParcelStatusCheck check_;
    QLineEdit* input_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* verdict_ = nullptr;
    QLabel* note_ = nullptr; // checked before, unknown code
    QLabel* recipient_ = nullptr;
    QLabel* items_ = nullptr;
    QFrame* notesFrame_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* trades_ = nullptr;
    QString shownKey_; // the parcel on screen, by its slip's number
    bool gridChanged_ = true;
};

// Opens the window of parent (one per main window), or raises it.
PackCheckWindow* ShowPackCheckWindow(
    QWidget* parent, PackCheckSource source, PageFetcher& fetcher, const Endpoints& endpoints);
