#pragma once
// What an unattended export tells on standard error. A scheduler keeps that
// stream in a log or a mail, so progress comes as one plain line per page;
// only on a terminal does the page line rewrite itself in place.

#include <QString>
#include <cstdio>

// "第 3 页，已提取 57 笔交易"
QString PageProgressLine(int page, int trades);

class ConsoleReport {
public:
    // terminal: the stream is shown on a terminal (carriage-return updates).
    ConsoleReport(FILE* stream, bool terminal);
    // For standard error, a terminal or not as it is.
    static ConsoleReport ForStandardError();

    void PageRead(int page, int trades);
    // A line of its own; ends a page line still being rewritten.
    void Line(const QString& text);

private:
    void Write(const QString& text);

    FILE* stream_;
    bool terminal_;
    bool lineOpen_ = false;
};
