#pragma once
// Reads a detail page's address line by what its pieces are, not by where
// they stand: the mobile is the 11-digit piece that starts with 1 (written
// without a "+86", "0086" or "86-" in front and without blanks inside; as
// shown when masked, 138****5678, or with a virtual number's extension,
// 17012345678-1234 or 17012345678转1234), the telephone an area code, a
// dash and 7 or 8 digits (perhaps an extension), the postcode the 6-digit
// piece, the street the piece that begins with a province of the division
// list, and the recipient the one piece of text before the street. Text
// right after the street that is none of these (a room number 3-2-1201)
// is more street. The street is then read from its start into province,
// city, district and the rest by the division lists, blanks between them
// or not ("上海市上海市宝山区友谊路101号"), each name read once however
// often the line repeats it; a municipality is its own city too.

#include <QString>
#include <QStringView>

struct AddressReading {
    enum class Outcome {
        Read, // every column below is the line's
        StreetNotSplit, // recipient, phones and postcode read; the street's first word is no province
        Unreadable, // the pieces cannot be told apart: nothing is to be written
    };
    Outcome outcome = Outcome::Unreadable;
    // A city or district that neither division list places under its
    // province or city, or a street the lists cannot cut into them. Still
    // written (the lists age), but to be checked.
    bool divisionsToCheck = false;
    // The mobile (or a second one, in telephone) is masked as the
    // marketplace shows many now ("138****5678"): written as shown, and
    // worth a note to the seller, who cannot call it.
    bool maskedMobile = false;
    QString recipient;
    QString mobile;
    QString telephone;
    QString province; // the street's province as written, without "省"
    QString city;
    QString district;
    QString address;
    QString postcode;
};

// Blanks as pages write them ("&nbsp;", U+00A0, U+3000) made plain blanks,
// runs of blanks made one, and the text trimmed.
QString PlainBlanks(QString text);

AddressReading ReadAddressLine(const QString& line);
