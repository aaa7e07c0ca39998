#include "AddressLine.h"

#include "core/address/AdminDivisions.h"
#include "core/text/Blanks.h"
#include "core/text/PieceText.h"
#include "core/trade/ColumnTable.h"

#include <QStringList>
#include <utility>

namespace {

enum class PieceKind { Empty, Mobile, Postcode, Telephone, Text };

// A mobile as buyers write it, without the country code in front ("+86",
// "0086", "86-") and the blanks inside ("138 1234 5678").
QString MobileText(QStringView piece)
{
    for (const QStringView code : { u"+86", u"0086", u"86-", u"86 " }) {
        if (piece.startsWith(code)) {
            piece = piece.sliced(code.size());
            break;
        }
    }
    if (piece.startsWith(u'-'))
        piece = piece.sliced(1);
    QString text = piece.toString();
    text.remove(QLatin1Char(' '));
    return text;
}

// What a piece is by its shape, and its text as the column takes it: a
// mobile in its plain form, every other piece as written.
PieceKind KindOf(QString& piece)
{
    if (piece.isEmpty())
        return PieceKind::Empty;
    if (QString mobile = MobileText(piece); FitsShape(ColumnShape::Mobile, mobile)) {
        piece = std::move(mobile);
        return PieceKind::Mobile;
    }
    if (FitsShape(ColumnShape::Postcode, piece))
        return PieceKind::Postcode;
    if (FitsShape(ColumnShape::Telephone, piece))
        return PieceKind::Telephone;
    return PieceKind::Text;
}

// Fills the slot a piece of this kind belongs in; false when the line has
// two pieces for one slot and cannot be read. A second mobile number is the
// telephone, as lines that give two mobiles put them.
bool Place(AddressReading& reading, PieceKind kind, const QString& piece)
{
    switch (kind) {
    case PieceKind::Empty:
        return true;
    case PieceKind::Mobile:
        reading.maskedMobile = reading.maskedMobile || piece.contains(QLatin1Char('*'));
        if (reading.mobile.isEmpty()) {
            reading.mobile = piece;
            return true;
        }
        [[fallthrough]];
    case PieceKind::Telephone:
        if (!reading.telephone.isEmpty())
            return false;
        reading.telephone = piece;
        return true;
    case PieceKind::Postcode:
        if (!reading.postcode.isEmpty())
            return false;
        reading.postcode = piece;
        return true;
    case PieceKind::Text:
        if (!reading.recipient.isEmpty())
            return false;
        reading.recipient = piece;
        return true;
    }
    return false;
}

// Province, city, district and the rest, cut at the street's blanks as the
// sheet has always cut them: a street without a blank is all address. A
// municipality followed by one of its districts ("上海市 浦东新区 …") has
// the municipality as its city, as "上海 上海市 浦东新区 …" writes it.
void SplitStreet(AddressReading& reading, QString street)
{
    const AdminDivisions& divisions = AdminDivisions::National();
    const QString provinceWord = TakeFirstWord(street);
    if (!provinceWord.isEmpty() && !divisions.IsProvince(provinceWord)) {
        reading.outcome = AddressReading::Outcome::StreetNotSplit;
        return;
    }
    reading.province = QString(provinceWord).remove(QStringLiteral("省"));
    street = TrimBlanks(street);
    reading.city = TakeFirstWord(street);
    street = TrimBlanks(street);
    const QString municipality = divisions.MunicipalityOf(provinceWord);
    if (!municipality.isEmpty() && !reading.city.isEmpty() && !divisions.IsCityOf(provinceWord, reading.city)
        && divisions.IsDistrictOf(provinceWord, municipality, reading.city)) {
        reading.district = std::exchange(reading.city, municipality);
    } else {
        reading.district = TakeFirstWord(street);
    }
    reading.address = TrimBlanks(street);
    if (!reading.city.isEmpty() && !divisions.IsCityOf(provinceWord, reading.city))
        reading.divisionsToCheck = true;
    else if (!reading.district.isEmpty() && !divisions.IsDistrictOf(provinceWord, reading.city, reading.district))
        reading.divisionsToCheck = true;
}

} // namespace

QString PlainBlanks(QString text)
{
    text.replace(kNbspEntity.toString(), QString(kPlainBlank));
    for (QChar& c : text)
        if (IsPageBlank(c))
            c = kPlainBlank;
    const QString twoBlanks = QStringLiteral("  ");
    while (text.contains(twoBlanks))
        text.replace(twoBlanks, QStringLiteral(" "));
    return TrimBlanks(text);
}

AddressReading ReadAddressLine(const QString& line)
{
    QStringList pieces = PlainBlanks(line).replace(QLatin1Char(','), QStringLiteral("，")).split(QStringLiteral("，"));
    for (QString& piece : pieces)
        piece = TrimBlanks(piece);

    const AdminDivisions& divisions = AdminDivisions::National();
    // A recipient may be called after a place too ("吉林" as a name): of
    // several pieces that begin with a province, the street is the first
    // one that reads as more than a name, with a blank or longer than one.
    qsizetype street = -1;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (!divisions.StartsWithProvince(pieces[i]))
            continue;
        if (street < 0)
            street = i;
        else if (!pieces[street].contains(QLatin1Char(' ')) && pieces[i].size() > pieces[street].size())
            street = i;
        if (pieces[street].contains(QLatin1Char(' ')))
            break;
    }
    AddressReading reading;
    if (street < 0)
        return reading;

    for (qsizetype i = 0; i < street; ++i) {
        const PieceKind kind = KindOf(pieces[i]);
        if (!Place(reading, kind, pieces[i]))
            return AddressReading();
    }
    // The street may hold "，" itself: text right after it is more street,
    // joined without the commas (a room number "3-2-1201", "门卫代收");
    // text after a phone or postcode is not.
    QString streetText = pieces[street];
    bool streetOpen = true;
    for (qsizetype i = street + 1; i < pieces.size(); ++i) {
        const PieceKind kind = KindOf(pieces[i]);
        if (kind == PieceKind::Text) {
            if (!streetOpen)
                return AddressReading();
            streetText = TrimBlanks(streetText + pieces[i]);
        } else if (!Place(reading, kind, pieces[i])) {
            return AddressReading();
        } else if (kind != PieceKind::Empty) {
            streetOpen = false;
        }
    }
    // Nobody to ship to, or a telephone that is no telephone.
    if (reading.recipient.isEmpty())
        return AddressReading();

    reading.outcome = AddressReading::Outcome::Read;
    SplitStreet(reading, streetText);
    return reading;
}
