#pragma once
// What the packer is told about a scanned parcel once its trades' statuses
// have been fetched again: ship it, or stop, and why. The parcel's answer
// is its worst trade's: one refunded trade stops the whole parcel, and a
// trade whose status could not be read never lets it pass as green.

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <optional>

enum class ParcelVerdict {
    CanShip, // every trade still waits to ship: green
    Unchecked, // a status could not be fetched or read: amber
    Shipped, // red
    Closed, // red
    Refund, // a refund asked or granted: red
};

Q_DECLARE_METATYPE(ParcelVerdict)

// What one fetched status means for the parcel; none (no page, no label)
// cannot be checked. A status outside the known ones cannot be checked
// either: it is never taken for "still to ship".
ParcelVerdict VerdictOfStatus(const std::optional<QString>& fetchedStatus);

// The worst of the trades' verdicts; Unchecked for a parcel of none.
ParcelVerdict WorstVerdict(const QList<ParcelVerdict>& verdicts);

// Red: the parcel must not leave.
inline bool StopsParcel(ParcelVerdict verdict)
{
    return verdict == ParcelVerdict::Shipped || verdict == ParcelVerdict::Closed
        || verdict == ParcelVerdict::Refund;
}

// The answer's headline: "可以发货", "已申请退款，不要发货", "交易已关闭，不要发货",
// "已经发货" or "无法核对状态".
QString VerdictText(ParcelVerdict verdict);
