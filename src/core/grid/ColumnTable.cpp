#include "ColumnTable.h"

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
    const auto two = [&](qsizetype at) { return (value[at].unicode() - u'0') * 10 + (value[at + 1].unicode() - u'0'); };
    const int month = two(5);
    const int day = two(8);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && two(11) < 24 && two(14) < 60 && two(17) < 60;
}

// Digits in groups joined by single dashes: 0571-88886666, an extension
// after a second dash, or a number without any.
bool IsTelephone(QStringView value)
{
    if (value.isEmpty() || value.front() == u'-' || value.back() == u'-' || value.contains(u"--"))
        return false;
    const auto digits = std::count_if(value.begin(), value.end(), IsDigit);
    const auto dashes = std::count(value.begin(), value.end(), QChar(u'-'));
    return digits + dashes == value.size() && digits >= 5;
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
        return value.isEmpty() || (value.size() == 11 && value.front() == u'1' && AllDigits(value));
    case ColumnShape::Telephone:
        return value.isEmpty() || IsTelephone(value);
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
