#pragma once
// Reads back what the tests need from a written .xlsx: the first sheet's
// name, cells, column widths and the cell styles. The zip is opened with
// the unzip program.

#include <QMap>
#include <QProcess>
#include <QString>
#include <QVector>
#include <QXmlStreamReader>

namespace exporttest {

struct XlsxCell {
    QString value;
    QString type; // "s" shared string, "inlineStr", "" number
    int style = 0;
    bool hasValue = false;
    bool formula = false;
};

struct XlsxStyle {
    bool bold = false;
    QString fill; // fgColor rgb of a solid fill, else empty
    bool thinBorder = false;
};

struct XlsxColumn {
    double width = -1;
    bool hidden = false;
};

struct XlsxBook {
    bool ok = false;
    QString sheetName;
    int sheetCount = 0;
    QMap<QString, XlsxCell> cells; // by reference, "B2"
    QMap<int, XlsxColumn> columns; // 1-based
    QVector<XlsxStyle> styles; // cellXfs, by index
    bool anyFormula = false;

    XlsxStyle StyleOf(const QString& ref) const { return styles.value(cells.value(ref).style); }
};

inline QByteArray ZipEntry(const QString& zip, const QString& entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-p"), zip, entry });
    if (!unzip.waitForFinished(20000) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

inline int ColumnNumber(QStringView ref)
{
    int n = 0;
    for (const QChar c : ref) {
        if (c < u'A' || c > u'Z')
            break;
        n = n * 26 + (c.unicode() - 'A' + 1);
    }
    return n;
}

inline QString CellRef(int row, int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

inline QStringList ReadSharedStrings(const QByteArray& xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    QString current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si")
            current.clear();
        else if (reader.isStartElement() && reader.name() == u"t")
            current += reader.readElementText();
        else if (reader.isEndElement() && reader.name() == u"si")
            strings.append(current);
    }
    return strings;
}

inline QVector<XlsxStyle> ReadStyles(const QByteArray& xml)
{
    QVector<bool> fontsBold;
    QVector<QString> fills;
    QVector<bool> bordersThin;
    QVector<XlsxStyle> styles;
    QXmlStreamReader reader(xml);
    QString section;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView name = reader.name();
            const QXmlStreamAttributes a = reader.attributes();
            if (name == u"fonts" || name == u"fills" || name == u"borders" || name == u"cellXfs"
                || name == u"cellStyleXfs")
                section = name.toString();
            else if (name == u"font" && section == u"fonts")
                fontsBold.append(false);
            else if (name == u"b" && section == u"fonts" && !fontsBold.isEmpty())
                fontsBold.last() = true;
            else if (name == u"fill" && section == u"fills")
                fills.append(QString());
            else if (name == u"patternFill" && section == u"fills" && a.value("patternType") != u"solid")
                fills.last() = QStringLiteral("none");
            else if (name == u"fgColor" && section == u"fills" && fills.last().isEmpty())
                fills.last() = a.value("rgb").toString();
            else if (name == u"border" && section == u"borders")
                bordersThin.append(false);
            else if ((name == u"left" || name == u"right" || name == u"top" || name == u"bottom")
                && section == u"borders" && a.value("style") == u"thin")
                bordersThin.last() = true;
            else if (name == u"xf" && section == u"cellXfs") {
                XlsxStyle style;
                style.bold = fontsBold.value(a.value("fontId").toInt());
                const QString fill = fills.value(a.value("fillId").toInt());
                style.fill = fill == u"none" ? QString() : fill;
                style.thinBorder = bordersThin.value(a.value("borderId").toInt());
                styles.append(style);
            }
        } else if (reader.isEndElement()) {
            const QStringView name = reader.name();
            if (name == u"fonts" || name == u"fills" || name == u"borders" || name == u"cellXfs"
                || name == u"cellStyleXfs")
                section.clear();
        }
    }
    return styles;
}

inline XlsxBook ReadXlsx(const QString& path)
{
    XlsxBook book;
    const QByteArray workbook = ZipEntry(path, QStringLiteral("xl/workbook.xml"));
    const QByteArray sheetXml = ZipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (workbook.isEmpty() || sheetXml.isEmpty())
        return book;
    QXmlStreamReader wb(workbook);
    while (!wb.atEnd()) {
        wb.readNext();
        if (wb.isStartElement() && wb.name() == u"sheet") {
            if (book.sheetCount++ == 0)
                book.sheetName = wb.attributes().value("name").toString();
        }
    }
    const QStringList shared = ReadSharedStrings(ZipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
    book.styles = ReadStyles(ZipEntry(path, QStringLiteral("xl/styles.xml")));

    QXmlStreamReader sheet(sheetXml);
    QString ref;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        const QStringView name = sheet.name();
        const QXmlStreamAttributes a = sheet.attributes();
        if (name == u"col") {
            XlsxColumn column;
            column.width = a.value("width").toDouble();
            column.hidden = a.value("hidden") == u"1";
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                book.columns[c] = column;
        } else if (name == u"c") {
            ref = a.value("r").toString();
            XlsxCell& cell = book.cells[ref];
            cell.type = a.value("t").toString();
            cell.style = a.value("s").toInt();
        } else if (name == u"f") {
            book.cells[ref].formula = true;
            book.anyFormula = true;
        } else if (name == u"v") {
            XlsxCell& cell = book.cells[ref];
            const QString v = sheet.readElementText();
            cell.value = cell.type == u"s" ? shared.value(v.toInt()) : v;
            cell.hasValue = true;
        } else if (name == u"t") {
            XlsxCell& cell = book.cells[ref];
            cell.value += sheet.readElementText();
            cell.hasValue = true;
        }
    }
    book.ok = !sheet.hasError();
    return book;
}

} // namespace exporttest
