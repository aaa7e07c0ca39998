#include "AddressLine.h"

#include "core/address/AdminDivisions.h"
#include "core/text/Blanks.h"
#include "core/text/PieceText.h"
#include "core/trade/ColumnTable.h"

#include <QStringList>

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

// Province, city, district and the rest, read from the street's start by
// the division lists, whether blanks part them or not
// ("上海市上海市宝山区友谊路101号"): the longest province name, then the
// longest city of it, then the longest district of that city. A name
// written twice ("浙江省 浙江省 杭州市", "北京市 北京市 北京市 朝阳区") is
// read once. A piece the lists do not know is taken up to its blank as
// written, as the sheet has always cut them, and is to be checked; a
// street without a blank there is all address. A municipality is its own
// city, whichever of its names the line gives (北京, 市辖区, 县) or none
// before one of its districts (上海市 浦东新区 …).
void SplitStreet(AddressReading& reading, QStringView street)
{
    const AdminDivisions& divisions = AdminDivisions::National();
    street = TrimBlanks(street);
    const auto take = [&street](qsizetype length) {
        const QStringView piece = street.first(length);
        street = TrimBlanks(street.sliced(length));
        return piece;
    };
    const auto takeWord = [&street]() {
        const FirstWordCut cut = CutFirstWord(street);
        if (cut.hasBlank)
            street = TrimBlanks(cut.rest);
        return cut.word;
    };
    // A name again is a repeat only where a word ends or the next level's
    // name begins: "山东省 山东路" keeps its road.
    const auto endsRepeat = [&street](qsizetype length, qsizetype nextLevel) {
        return length == street.size() || street[length] == u' ' || nextLevel > 0;
    };

    const qsizetype provinceLength = divisions.ProvinceAtStart(street);
    const QStringView province = provinceLength > 0 ? take(provinceLength) : takeWord();
    if (province.isEmpty() && !divisions.IsLoaded()) {
        // Without the lists a street without blanks cannot be cut: it is
        // all address, as before there were lists.
        reading.address = street.toString();
        return;
    }
    if (!divisions.IsProvince(province)) {
        reading.outcome = AddressReading::Outcome::StreetNotSplit;
        return;
    }
    reading.province = province.toString().remove(QStringLiteral("省"));
    // The length of the province written again at the street's start, or 0;
    // a province's name that begins one of its cities' (吉林省 吉林市) is the city.
    const auto provinceAgain = [&]() -> qsizetype {
        const qsizetype again = divisions.ProvinceAtStart(street);
        const bool repeated = again > 0 && divisions.IsSameProvince(province, street.first(again))
            && divisions.CityAtStart(province, street) < again
            && endsRepeat(again, divisions.CityAtStart(province, street.sliced(again)));
        return repeated ? again : 0;
    };
    while (const qsizetype again = provinceAgain())
        take(again);

    const QString municipality = divisions.MunicipalityOf(province);
    QStringView city;
    if (const qsizetype length = divisions.CityAtStart(province, street))
        city = take(length);
    else if (municipality.isEmpty() || divisions.DistrictAtStart(province, municipality, street) == 0)
        city = takeWord();
    reading.city = municipality.isEmpty() || (!city.isEmpty() && !divisions.IsCityOf(province, city))
        ? city.toString()
        : municipality;
    // Likewise the city again ("北京市 北京市 北京市 朝阳区"); a city's name
    // that begins one of its districts' (苏州工业园区) is the district.
    const auto cityAgain = [&]() -> qsizetype {
        const qsizetype again = divisions.CityAtStart(province, street);
        const bool repeated = again > 0 && divisions.IsSameCity(province, reading.city, street.first(again))
            && divisions.DistrictAtStart(province, reading.city, street) < again
            && endsRepeat(again, divisions.DistrictAtStart(province, reading.city, street.sliced(again)));
        return repeated ? again : 0;
    };
    while (const qsizetype again = cityAgain())
        take(again);

    const qsizetype districtLength = divisions.DistrictAtStart(province, reading.city, street);
    reading.district = (districtLength > 0 ? take(districtLength) : takeWord()).toString();
    reading.address = street.toString();

    if (reading.city.isEmpty())
        reading.divisionsToCheck = !divisions.TakesAnyCity(province);
    else if (!divisions.IsCityOf(province, reading.city))
        reading.divisionsToCheck = true;
    else if (reading.district.isEmpty())
        reading.divisionsToCheck = !divisions.TakesAnyDistrict(province, reading.city);
    else
        reading.divisionsToCheck = !divisions.IsDistrictOf(province, reading.city, reading.district);
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
