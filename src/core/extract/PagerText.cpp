#include "PagerText.h"

#include <QRegularExpression>

std::optional<PagerPosition> PagerPositionFromHtml(const QString& html)
{
    // Between the pieces: blanks, non-breaking spaces and whole tags.
    static const QString gap = QStringLiteral(R"((?:\s|&nbsp;|<[^<>]*>)*)");
    static const QRegularExpression pager(QStringLiteral("第") + gap + QStringLiteral(R"((\d{1,6}))") + gap
        + QStringLiteral("页") + gap + QStringLiteral("/?") + gap + QStringLiteral("共") + gap
        + QStringLiteral(R"((\d{1,6}))") + gap + QStringLiteral("页"));
    const QRegularExpressionMatch match = pager.match(html);
    if (!match.hasMatch())
        return std::nullopt;
    const PagerPosition position { match.captured(1).toInt(), match.captured(2).toInt() };
    if (position.page < 1 || position.page > position.pageCount)
        return std::nullopt;
    return position;
}

std::optional<int> PagesLeftFromHtml(const QString& html)
{
    const std::optional<PagerPosition> position = PagerPositionFromHtml(html);
    if (!position)
        return std::nullopt;
    return position->pageCount - position->page + 1;
}
