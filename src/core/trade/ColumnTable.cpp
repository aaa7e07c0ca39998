#include "ColumnTable.h"

#include <QList>

#include <algorithm>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool AllDigits(QStringView value)
{
    return !value.isEmpty() && std::all_of(value.begin(), value.end(), IsDigit);
}

bool IsDecimal(QStringView value)
{
    const qsizetype point = value.indexOf(u'.');
    if (point < 0)
        return AllDigits(value);
    return AllDigits(value.first(point)) && AllDigits(value.sliced(point + 1));
}

bool IsDateTime(QStringView value)
{
    // yyyy-MM-dd hh:mm:ss
    static constexpr char16_t kPattern[] = u"0000-00-00 00:00:00";
    if (value.size() != qsizetype(std::size(kPattern) - 1))
        return false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const bool digitWanted = kPattern[i] == u'0';
        if (digitWanted ? !IsDigit(value[i]) : value[i] != QChar(kPattern[i]))
            return false;
    }
    // Two digits at a time, read by hand: this runs for every trade.
    const auto two
        = [&](qsizetype at) { return (value[at].unicode() - u'0') * 10 + (value[at + 1].unicode() - u'0'); };
    const int month = two(5);
    const int day = two(8);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && two(11) < 24 && two(14) < 60 && two(17) < 60;
}

// An extension after a virtual or office number: 1 to 6 digits.
bool IsExtension(QStringView digits)
{
    return digits.size() <= 6 && AllDigits(digits);
}

// 11 digits starting with 1, as the marketplace shows them: hidden digits
// as "*" (138****5678), a virtual number with its extension after "-" or
// "转" (17012345678-1234, 17012345678转1234).
bool IsMobile(QStringView value)
{
    qsizetype extension = value.indexOf(u'转');
    if (extension < 0)
        extension = value.indexOf(u'-');
    if (extension >= 0) {
        if (!IsExtension(value.sliced(extension + 1)))
            return false;
        value = value.first(extension);
    }
    return value.size() == 11 && value.front() == u'1'
        && std::all_of(value.begin(), value.end(), [](QChar c) { return IsDigit(c) || c == u'*'; });
}

// A fixed line: an area code of 3 or 4 digits starting with 0, a dash and a
// number of 7 or 8 digits (or the two run together), or the number alone;
// perhaps an extension after "-" or "转". Other groupings of digits and
// dashes (a room number such as 3-2-1201) are none.
bool IsFixedLine(QStringView value)
{
    bool extensionTaken = false;
    if (const qsizetype turn = value.indexOf(u'转'); turn >= 0) {
        if (!IsExtension(value.sliced(turn + 1)))
            return false;
        value = value.first(turn);
        extensionTaken = true;
    }
    const auto isLocal = [](QStringView digits) {
        return (digits.size() == 7 || digits.size() == 8) && AllDigits(digits) && digits.front() >= u'2';
    };
    const auto isArea = [](QStringView digits) {
        return (digits.size() == 3 || digits.size() == 4) && digits.front() == u'0' && AllDigits(digits);
    };
    const QList<QStringView> parts = value.split(u'-');
    const QStringView first = parts.front();
    switch (parts.size()) {
    case 1:
        return first.startsWith(u'0') ? first.size() >= 10 && first.size() <= 12 && AllDigits(first)
                                      : isLocal(first);
    case 2:
        return isArea(first) ? isLocal(parts[1]) : !extensionTaken && isLocal(first) && IsExtension(parts[1]);
    case 3:
        return !extensionTaken && isArea(first) && isLocal(parts[1]) && IsExtension(parts[2]);
    default:
        return false;
    }
}

// Letters, digits and the dashes some carriers put in; the number of
// digits, or -1 for a text of any other character.
int WaybillDigits(QStringView value)
{
    int digits = 0;
    for (const QChar c : value) {
        if (IsDigit(c))
            ++digits;
        else if (!IsAsciiLetter(c) && c != u'-')
            return -1;
    }
    return digits;
}

} // namespace

const ColumnFacts* FactsOfColumn(int col)
{
    if (col < 0 || col >= int(std::size(kTradeColumns)))
        return nullptr;
    return &kTradeColumns[col];
}

bool FitsShape(ColumnShape shape, QStringView value)
{
    switch (shape) {
    case ColumnShape::Text:
        return true;
    case ColumnShape::OrderNumber:
        return AllDigits(value);
    case ColumnShape::DateTime:
        return IsDateTime(value);
    case ColumnShape::Decimal:
        return IsDecimal(value);
    case ColumnShape::Quantity:
        // A whole number of at least 1, "3.00" included.
        if (const qsizetype point = value.indexOf(u'.'); point >= 0) {
            const QStringView fraction = value.sliced(point + 1);
            if (!std::all_of(fraction.begin(), fraction.end(), [](QChar c) { return c == u'0'; }))
                return false;
            value = value.first(point);
        }
        return AllDigits(value) && std::any_of(value.begin(), value.end(), [](QChar c) { return c != u'0'; });
    case ColumnShape::Status:
    case ColumnShape::Division:
        return !value.isEmpty() && std::none_of(value.begin(), value.end(), IsAnyBlank);
    case ColumnShape::Mobile:
        return value.isEmpty() || IsMobile(value);
    case ColumnShape::Telephone:
        // A line's second mobile is its telephone.
        return value.isEmpty() || IsFixedLine(value) || IsMobile(value);
    case ColumnShape::Postcode:
        return value.isEmpty() || (value.size() == 6 && AllDigits(value));
    case ColumnShape::Company:
        // EMS and DHL are companies; SF1234567890 is a waybill.
        return WaybillDigits(value) < 4;
    case ColumnShape::Waybill:
        return value.isEmpty() || WaybillDigits(value) > 0;
    }
    return false;
}
