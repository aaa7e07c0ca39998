#include "HistoryTrouble.h"

#include "core/downloads/StoredDetails.h"

#include <QDir>

QString HistoryTroubleText(const StoredDetails* history, bool writeFailed)
{
    if (!history)
        return QString();
    const QString where = QDir::toNativeSeparators(history->FilePath());
    if (!history->IsOpen())
        return QString::fromUtf8(kHistoryOffText).arg(where);
    if (writeFailed)
        return QString::fromUtf8(kHistoryWriteFailedText).arg(where);
    return QString();
}
