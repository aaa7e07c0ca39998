#pragma once
// The live check of a scanned parcel: each of its trades' detail pages is
// fetched once more with the run's fetcher (the walk's cookies, headers and
// pauses), its status read and compared. The packer waits for it, so an
// attempt is given a few seconds, not the walk's minute: a marketplace that
// does not answer gives "无法核对状态" soon rather than green late.

#include "core/base/Endpoints.h"
#include "core/packcheck/ParcelIndex.h"
#include "core/packcheck/ParcelVerdict.h"

#include <QElapsedTimer>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <optional>

class PageFetchJob;
class PageFetcher;

struct TradeCheck {
    QString order;
    QString morningStatus; // in the grid, from the walk
    std::optional<QString> statusNow; // none: the page did not come or had no status
    bool loginPage = false; // the session has ended: log in again
    ParcelVerdict verdict = ParcelVerdict::Unchecked;
};

struct ParcelCheck {
    int parcel = -1; // in the ParcelIndex the check was started with
    QList<TradeCheck> trades;
    ParcelVerdict verdict = ParcelVerdict::Unchecked;
    qint64 elapsedMs = 0; // from the start to the last page
};

Q_DECLARE_METATYPE(ParcelCheck)

// Attempts of a scan's page fetch, and each one's limits.
inline constexpr int kScanAttempts = 2;
inline constexpr int kScanFirstByteMs = 4000;
inline constexpr int kScanTimeoutSeconds = 8;

class ParcelStatusCheck : public QObject {
    Q_OBJECT
public:
    ParcelStatusCheck(PageFetcher& fetcher, Endpoints endpoints, QObject* parent = nullptr);
    ~ParcelStatusCheck() override;

    // Starts the check of parcel (number index of its ParcelIndex). A check
    // still running is dropped: its answer never comes.
    void Start(int index, const Parcel& parcel);
    bool Running() const { return !jobs_.isEmpty(); }

signals:
    void Checked(const ParcelCheck& check);

private:
    void OneDone();
    void DropJobs();

    PageFetcher& fetcher_;
    const Endpoints endpoints_;
    QList<QPointer<PageFetchJob>> jobs_; // as check_.trades
    ParcelCheck check_;
    QElapsedTimer clock_;
};
