#pragma once
// What poppler's tools read back from a PDF the tool wrote.

#include <QProcess>
#include <QRegularExpression>
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

} // namespace testsupport
