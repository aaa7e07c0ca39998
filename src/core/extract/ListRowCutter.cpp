#include "ListRowCutter.h"

#include "MarkupText.h"
#include "core/text/PieceText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr QStringView kRowEnd = u"</TR>";
constexpr QStringView kCellEnd = u"</TD>";

// The rows of the table body, by the three cuts.
QStringView BodyRows(QStringView table)
{
    const qsizetype lastRowEnd = table.lastIndexOf(kRowEnd);
    if (lastRowEnd >= 0)
        table = table.first(lastRowEnd);
    constexpr QStringView bodyTag = u"<TBODY";
    const qsizetype body = table.indexOf(bodyTag);
    if (body >= 0)
        table = table.sliced(body + bodyTag.size());
    const qsizetype tagEnd = table.indexOf(u'>');
    if (tagEnd >= 0)
        table = table.sliced(tagEnd + 1);
    return table;
}

// The first a or b in [at, end), or end. Eight characters at a time where
// the processor allows: tags run to dozens of characters.
const char16_t* FindEither(const char16_t* at, const char16_t* end, char16_t a, char16_t b)
{
#if defined(__SSE2__)
    const __m128i wantedA = _mm_set1_epi16(short(a));
    const __m128i wantedB = _mm_set1_epi16(short(b));
    for (; end - at >= 8; at += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i equal = _mm_or_si128(_mm_cmpeq_epi16(chunk, wantedA), _mm_cmpeq_epi16(chunk, wantedB));
        const int hits = _mm_movemask_epi8(equal);
        if (hits != 0)
            return at + (__builtin_ctz(unsigned(hits)) >> 1);
    }
#endif
    while (at < end && *at != a && *at != b)
        ++at;
    return at;
}

// Whether the text at at, which holds "<", starts or ends an element that
// breaks a line (a paragraph, a division, a line break): the status and
// the links after it then stand on lines of their own, as shown.
bool IsLineBreakTag(const char16_t* at, const char16_t* end)
{
    const char16_t* i = at + 1;
    if (i < end && *i == u'/')
        ++i;
    QString name;
    while (i < end && name.size() < 8
        && ((*i >= u'a' && *i <= u'z') || (*i >= u'A' && *i <= u'Z') || (*i >= u'0' && *i <= u'9')))
        name += QChar(*i++).toLower();
    return i < end && (*i == u'>' || *i == u' ' || *i == u'/') && IsBlockElement(name);
}

// Whether the text at at, which holds "<", opens a table body.
bool IsBodyTag(const char16_t* at, const char16_t* end)
{
    return end - at >= 7 && at[1] == u'T' && at[2] == u'B' && at[3] == u'O' && at[4] == u'D' && at[5] == u'Y'
        && (at[6] == u'>' || at[6] == u' ');
}

// Whether the text at at, which holds "<", is "</TD>" (kind D) or "</TR>"
// (kind R).
bool IsEndTag(const char16_t* at, const char16_t* end, char16_t kind)
{
    return end - at >= 5 && at[1] == u'/' && at[2] == u'T' && at[3] == kind && at[4] == u'>';
}

} // namespace

bool ListRowCutter::RowHas(char16_t c) const
{
    const char16_t* const end = text_.data() + size_;
    return FindEither(text_.data(), end, c, c) != end;
}
QStringView ListRowCutter::PieceFrom(qsizetype offset) const
{
    qsizetype end = size_;
    for (int i = 0; i < std::min(count_, kKeptPieces); ++i) {
        if (ends_[size_t(i)] > offset) {
            end = ends_[size_t(i)];
            break;
        }
    }
    return TrimBlanks(QStringView(text_.data() + offset, end - offset));
}
ListRowCutter::ListRowCutter(QStringView table)
    : body_(BodyRows(table))
{
}

bool ListRowCutter::NextRow()
{
    if (next_ < 0)
        return false;
    CutRow();
    return true;
}

QStringView ListRowCutter::PieceFirstLine(int index) const
{
    const qsizetype start = index == 0 ? 0 : ends_[size_t(index - 1)];
    const qsizetype lineBreak = breaks_[size_t(index)];
    if (lineBreak < 0)
        return Piece(index);
    return TrimBlanks(QStringView(text_.data() + start, lineBreak - start));
}

QStringView ListRowCutter::Piece(int index) const
{
    const qsizetype start = index == 0 ? 0 : ends_[size_t(index - 1)];
    return TrimBlanks(QStringView(text_.data() + start, ends_[size_t(index)] - start));
}

// Appends the text between two tags, removing a CR LF pair that the text
// without tags holds, even with a tag between the two; after a removal
// the next LF pairs with nothing, as in QString::remove.
void ListRowCutter::Append(const char16_t* from, const char16_t* to)
{
    if (to - from == 2 && from[0] == u'\r' && from[1] == u'\n' && !afterCr_) {
        // The line break between two tags, the most common stretch.
        MarkLineBreak();
        return;
    }
    if (text_.size() < size_t(size_ + (to - from)))
        text_.resize(std::max(text_.size() * 2, size_t(size_ + (to - from))));
    char16_t* const out = text_.data();
    for (; from < to; ++from) {
        if (*from == u'\n' && afterCr_) {
            --size_;
            afterCr_ = false;
        } else {
            afterCr_ = *from == u'\r';
            out[size_++] = *from;
        }
    }
}

void ListRowCutter::MarkLineBreak()
{
    if (count_ < kKeptPieces && breaks_[size_t(count_)] < 0) {
        const qsizetype start = count_ == 0 ? 0 : ends_[size_t(count_ - 1)];
        if (!TrimBlanks(QStringView(text_.data() + start, size_ - start)).isEmpty())
            breaks_[size_t(count_)] = size_;
    }
}

void ListRowCutter::EndPiece()
{
    if (count_ < kKeptPieces)
        ends_[size_t(count_)] = size_;
    ++count_;
    afterCr_ = false;
}

void ListRowCutter::CutRow()
{
    // Both end tags start with "<" and hold no other "<", so neither can
    // overlap the other or itself: looking at every "<" in order finds the
    // same occurrences as the two splits. Inside a tag the search goes on
    // to its ">", stopping at a "<" only to see whether a split falls there
    // (the unclosed tag then ends with its piece).
    const char16_t* const begin = body_.utf16();
    const char16_t* const end = begin + body_.size();
    const char16_t* at = begin + next_;
    size_ = 0;
    count_ = 0;
    afterCr_ = false;
    opensBody_ = false;
    breaks_.fill(-1);
    bool inTag = false;
    for (;;) {
        const char16_t* const found
            = inTag ? FindEither(at, end, u'<', u'>') : FindEither(at, end, u'<', u'<');
        if (!inTag)
            Append(at, found);
        if (found == end) {
            EndPiece();
            next_ = -1;
            return;
        }
        if (*found == u'>') {
            inTag = false;
            at = found + 1;
        } else if (IsEndTag(found, end, u'D')) {
            EndPiece();
            inTag = false;
            at = found + kCellEnd.size();
        } else if (IsEndTag(found, end, u'R')) {
            EndPiece();
            next_ = found + kRowEnd.size() - begin;
            return;
        } else {
            if (!inTag && IsBodyTag(found, end))
                opensBody_ = true;
            else if (!inTag && IsLineBreakTag(found, end))
                MarkLineBreak();
            inTag = true;
            at = found + 1;
        }
    }
}
