#pragma once
// What poppler's tools read back from a PDF the tool wrote.

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>

namespace testsupport {

// The program's standard output, or a line saying why there is none.
inline QString PdfTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text in the order it was drawn, without blanks. pdftotext gives some
// CJK characters as the radicals that share their glyph: the Kangxi ones
// (人 → ⼈) NFKC folds, the simplified ones of the supplement (贝 → ⻉) have
// no decomposition and are mapped here.
inline QString PdfText(const QString& path)
{
    static const QString radicals = QStringLiteral("⻈⻉⻋⻓⻔⻘⻙⻚⻛⻜⻝⻠⻢⻣⻤⻥⻦⻧⻨⻩⻬⻮⻰⻳");
    static const QString characters = QStringLiteral("讠贝车长门青韦页风飞食饣马骨鬼鱼鸟卤麦黄齐齿龙龟");
    QString text = PdfTool(QStringLiteral("pdftotext"), { QStringLiteral("-raw"), path, QStringLiteral("-") })
                       .normalized(QString::NormalizationForm_KC)
                       .remove(QRegularExpression(QStringLiteral("\\s")));
    for (QChar& c : text)
        if (const qsizetype at = radicals.indexOf(c); at >= 0)
            c = characters.at(at);
    return text;
}

// Whether every font of the file is embedded, and one is Noto Sans CJK.
inline bool FontsEmbedded(const QString& path)
{
    const QStringList lines = PdfTool(QStringLiteral("pdffonts"), { path }).split(u'\n', Qt::SkipEmptyParts);
    if (lines.size() < 3 || !lines.filter(QStringLiteral("NotoSansCJK")).size())
        return false;
    // name type encoding emb sub uni object ID: "emb" is the fourth column from the end.
    for (const QString& line : lines.mid(2)) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        if (columns.value(columns.size() - 5) != u"yes")
            return false;
    }
    return true;
}

// The barcodes a scanner reads off the printed pages: each page rendered at
// dotsPerInch (a label printer's 203 by default) and decoded, page after
// page, in the order zbar finds them on a page.
inline QStringList ScannedBarcodes(const QString& path, int dotsPerInch = 203)
{
    QTemporaryDir pictures;
    const QString prefix = pictures.filePath(QStringLiteral("page"));
    const QString rendered = PdfTool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(dotsPerInch), QStringLiteral("-gray"), path, prefix });
    if (rendered.contains(QStringLiteral(" failed: ")))
        return { rendered };
    QStringList codes;
    const QStringList pages = QDir(pictures.path()).entryList({ QStringLiteral("page*") }, QDir::Files, QDir::Name);
    for (const QString& page : pages) {
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"),
            { QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"), QStringLiteral("-Scode128.enable"),
                pictures.filePath(page) });
        // zbarimg ends with 4 on a page without a barcode.
        if (!zbar.waitForFinished(30000) || (zbar.exitCode() != 0 && zbar.exitCode() != 4))
            return { QStringLiteral("zbarimg failed: %1").arg(QString::fromUtf8(zbar.readAllStandardError())) };
        codes += QString::fromUtf8(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
    return codes;
}

} // namespace testsupport
