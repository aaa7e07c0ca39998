#include "HistoryTrouble.h"

#include "TradeHistory.h"
#include "core/context/RunContext.h"

#include <QDir>

QString TakeHistoryTrouble(RunContext& run)
{
    if (!run.history || run.historyTroubleTold)
        return QString();
    const QString where = QDir::toNativeSeparators(run.history->FilePath());
    QString text;
    if (!run.history->IsOpen())
        text = QString::fromUtf8(kHistoryOffText).arg(where);
    else if (run.historyWriteFailed)
        text = QString::fromUtf8(kHistoryWriteFailedText).arg(where);
    run.historyTroubleTold = !text.isEmpty();
    return text;
}
