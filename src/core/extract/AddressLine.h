#pragma once
// Reads a detail page's address line by what its pieces are, not by where
// they stand: the mobile is the 11-digit piece that starts with 1, the
// telephone the piece of digits and dashes, the postcode the 6-digit piece,
// the street the piece that begins with a province of the division list,
// and the recipient the one piece of text before the street. The street is
// then split into province, city, district and the rest at its blanks.

#include <QString>
#include <QStringView>

struct AddressReading {
    enum class Outcome {
        Read, // every column below is the line's
        StreetNotSplit, // recipient, phones and postcode read; the street's first word is no province
        Unreadable, // the pieces cannot be told apart: nothing is to be written
    };
    Outcome outcome = Outcome::Unreadable;
    // A city or district that the division list does not place under its
    // province or city. Still written (the list ages), but to be checked.
    bool divisionsToCheck = false;
    QString recipient;
    QString mobile;
    QString telephone;
    QString province; // the street's first word without "省"
    QString city;
    QString district;
    QString address;
    QString postcode;
};

// Blanks as pages write them ("&nbsp;", U+00A0, U+3000) made plain blanks,
// runs of blanks made one, and the text trimmed.
QString PlainBlanks(QString text);

AddressReading ReadAddressLine(const QString& line);
