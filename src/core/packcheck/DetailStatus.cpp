#include "DetailStatus.h"

#include "core/text/Blanks.h"

namespace {

const QString kStatusLabel = QStringLiteral("交易状态：");

} // namespace

std::optional<QString> ReadDetailStatus(const QString& pageText)
{
    const qsizetype label = pageText.indexOf(kStatusLabel);
    if (label < 0)
        return std::nullopt;
    qsizetype at = label + kStatusLabel.size();
    // A tag or blanks may stand between the label and its value.
    while (at < pageText.size()) {
        if (pageText.at(at) == u'<') {
            const qsizetype close = pageText.indexOf(u'>', at);
            if (close < 0)
                return std::nullopt;
            at = close + 1;
        } else if (IsAnyBlank(pageText.at(at))) {
            ++at;
        } else if (QStringView(pageText).mid(at).startsWith(kNbspEntity)) {
            at += kNbspEntity.size();
        } else {
            break;
        }
    }
    qsizetype end = at;
    while (end < pageText.size() && pageText.at(end) != u'<' && pageText.at(end) != u'&'
        && !IsAnyBlank(pageText.at(end)))
        ++end;
    if (end == at)
        return std::nullopt;
    return pageText.mid(at, end - at);
}
