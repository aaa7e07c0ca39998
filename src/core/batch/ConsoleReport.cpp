#include "ConsoleReport.h"

#include <QtGlobal>
#ifdef Q_OS_WIN
#include <io.h>
#define LUMETRA_ISATTY _isatty
#define LUMETRA_FILENO _fileno
#else
#include <unistd.h>
#define LUMETRA_ISATTY isatty
#define LUMETRA_FILENO fileno
#endif

QString PageProgressLine(int page, int trades)
{
    return QStringLiteral("第 %1 页，已提取 %2 笔交易").arg(page).arg(trades);
}

ConsoleReport::ConsoleReport(FILE* stream, bool terminal)
    : stream_(stream)
    , terminal_(terminal)
{
}

ConsoleReport ConsoleReport::ForStandardError()
{
    return ConsoleReport(stderr, LUMETRA_ISATTY(LUMETRA_FILENO(stderr)) != 0);
}

void ConsoleReport::PageRead(int page, int trades)
{
    if (terminal_) {
        // Back to the line start and clear the rest of the line.
        Write(QStringLiteral("\r") + PageProgressLine(page, trades) + QStringLiteral("\x1b[K"));
        lineOpen_ = true;
    } else {
        Write(PageProgressLine(page, trades) + QLatin1Char('\n'));
    }
}

void ConsoleReport::Line(const QString& text)
{
    if (lineOpen_) {
        Write(QStringLiteral("\n"));
        lineOpen_ = false;
    }
    Write(text + QLatin1Char('\n'));
}

void ConsoleReport::Write(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream_);
    std::fflush(stream_);
}
