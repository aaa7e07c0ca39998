#pragma once
// The command line's own words in Chinese: the headings and built-in option
// texts of the help ("Usage:", "Options:", "-h, --help") and the parser's
// complaints ("Unknown option"), which Qt writes in English unless a
// catalog says otherwise. Installed before the options are read, so --help
// and a mistyped option speak as the rest of the program, with or without
// Qt's translation files.

#include <QTranslator>

class CommandLineWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
        int n = -1) const override;
    bool isEmpty() const override { return false; }
};
