#include "FindingsReport.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>

namespace {

struct Counts {
    int trades = 0;
    int pages = 0;
};

Counts CountOf(const FindingList& findings, FindingSeverity severity)
{
    QSet<int> pages;
    for (const Finding& f : findings.All())
        if (f.severity == severity && !f.ConcernsTrade())
            pages.insert(f.page);
    return { int(findings.TradesWith(severity).size()), int(pages.size()) };
}

// "未写入 3 笔交易、1 页"; empty for none.
QString CountText(const QString& severity, const Counts& counts)
{
    QStringList what;
    if (counts.trades > 0)
        what.append(QStringLiteral("%1 笔交易").arg(counts.trades));
    if (counts.pages > 0)
        what.append(QStringLiteral("%1 页").arg(counts.pages));
    return what.isEmpty() ? QString() : severity + QLatin1Char(' ') + what.join(QStringLiteral("、"));
}

// What a kind of note says, without the text one trade showed.
QString KindReason(const Finding& finding)
{
    Finding general = finding;
    general.seen.clear();
    return FindingReason(general);
}

} // namespace

FindingsReport ReportFindings(const FindingList& findings, const QString& notesFile, int namedAtMost)
{
    FindingsReport report;
    if (findings.IsEmpty())
        return report;
    QStringList counts;
    for (const auto& [severity, word] : { std::pair { FindingSeverity::Refused, QStringLiteral("未写入") },
             std::pair { FindingSeverity::ToCheck, QStringLiteral("请核对") },
             std::pair { FindingSeverity::Note, QStringLiteral("提示") } })
        if (const QString text = CountText(word, CountOf(findings, severity)); !text.isEmpty())
            counts.append(text);
    report.lines.append(QStringLiteral("核对结果：") + counts.join(QStringLiteral("，")) + QStringLiteral("。"));

    for (const FindingSeverity severity : { FindingSeverity::Refused, FindingSeverity::ToCheck })
        for (const Finding& f : findings.All())
            if (f.severity == severity)
                report.lines.append(FindingLine(f));

    // Notes on trades, grouped by kind in the order the kinds first came.
    QList<FindingKind> kinds;
    QMap<int, QList<Finding>> byKind;
    for (const Finding& f : findings.All()) {
        if (f.severity != FindingSeverity::Note || !f.ConcernsTrade())
            continue;
        if (!byKind.contains(int(f.kind)))
            kinds.append(f.kind);
        byKind[int(f.kind)].append(f);
    }
    for (const FindingKind kind : std::as_const(kinds)) {
        const QList<Finding>& group = byKind[int(kind)];
        QStringList orders;
        QSet<QString> named;
        for (const Finding& f : group)
            if (!named.contains(f.orderNumber)) {
                named.insert(f.orderNumber);
                orders.append(f.orderNumber);
            }
        const bool cut = !notesFile.isEmpty() && orders.size() > namedAtMost;
        QString line = QStringLiteral("提示：%1 笔交易的%2：订单编号 %3")
                           .arg(orders.size())
                           .arg(KindReason(group.first()),
                               (cut ? orders.mid(0, namedAtMost) : orders).join(QStringLiteral("、")));
        if (cut) {
            line += QStringLiteral("……（这里列出前 %1 笔，全部 %2 笔见 %3）")
                        .arg(namedAtMost)
                        .arg(orders.size())
                        .arg(QDir::toNativeSeparators(notesFile));
            for (const Finding& f : group)
                report.noteList += FindingLine(f) + QLatin1Char('\n');
        } else {
            line += QStringLiteral("。");
        }
        report.lines.append(line);
    }
    // A note on a page stands alone.
    for (const Finding& f : findings.All())
        if (f.severity == FindingSeverity::Note && !f.ConcernsTrade())
            report.lines.append(FindingLine(f));
    return report;
}

QString NotesFileBeside(const QString& output)
{
    const QFileInfo info(output);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-提示.txt"));
}
