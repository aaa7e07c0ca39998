#include "core/export/ExcelWriter.h"
#include "core/export/SheetPlan.h"
#include "core/export/WorkbookCheck.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

namespace {

void PutU16(QByteArray& out, quint32 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8 & 0xFF));
}
void PutU32(QByteArray& out, quint32 v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// A zip with the parts stored uncompressed, enough to exercise the check.
QByteArray StoredZip(const QList<QPair<QByteArray, QByteArray>>& parts)
{
    QByteArray zip;
    QByteArray directory;
    for (const auto& [name, content] : parts) {
        const quint32 crc
            = crc32(0, reinterpret_cast<const Bytef*>(content.constData()), uInt(content.size()));
        const quint32 offset = quint32(zip.size());
        PutU32(zip, 0x04034b50);
        PutU16(zip, 20);
        PutU16(zip, 0);
        PutU16(zip, 0);
        PutU32(zip, 0);
        PutU32(zip, crc);
        PutU32(zip, quint32(content.size()));
        PutU32(zip, quint32(content.size()));
        PutU16(zip, quint32(name.size()));
        PutU16(zip, 0);
        zip += name + content;
        PutU32(directory, 0x02014b50);
        PutU16(directory, 20);
        PutU16(directory, 20);
        PutU16(directory, 0);
        PutU16(directory, 0);
        PutU32(directory, 0);
        PutU32(directory, crc);
        PutU32(directory, quint32(content.size()));
        PutU32(directory, quint32(content.size()));
        PutU16(directory, quint32(name.size()));
        PutU16(directory, 0);
        PutU16(directory, 0);
        PutU16(directory, 0);
        PutU16(directory, 0);
        PutU32(directory, 0);
        PutU32(directory, offset);
        directory += name;
    }
    const quint32 directoryOffset = quint32(zip.size());
    zip += directory;
    PutU32(zip, 0x06054b50);
    PutU16(zip, 0);
    PutU16(zip, 0);
    PutU16(zip, quint32(parts.size()));
    PutU16(zip, quint32(parts.size()));
    PutU32(zip, quint32(directory.size()));
    PutU32(zip, directoryOffset);
    PutU16(zip, 0);
    return zip;
}

QList<QPair<QByteArray, QByteArray>> MinimalParts(const QByteArray& sheet)
{
    return { { "[Content_Types].xml", "<?xml version=\"1.0\"?>\n<Types a=\"1\"><Default/></Types>\n" },
        { "xl/workbook.xml", "<?xml version=\"1.0\"?><workbook><sheets/></workbook>" },
        { "_rels/.rels", "<Relationships/>" }, { "xl/worksheets/sheet1.xml", sheet } };
}

} // namespace

class TestWorkbookCheck : public QObject {
    Q_OBJECT

private:
    QByteArray written_;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        SheetPlan plan;
        for (int r = 0; r < 200; ++r)
            plan.rows.append(
                { QStringList { QString::number(r), QStringLiteral("收件人%1").arg(r) }, r == 0 });
        plan.blockColumns = 2;
        const QString path = dir.filePath("book.xlsx");
        QVERIFY(WriteSheetPlanXlsx(plan, path, QStringLiteral("表")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        written_ = file.readAll();
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("complete");
        QTest::newRow("written workbook") << written_ << true;
        QTest::newRow("cut short") << written_.left(written_.size() - 40) << false;
        QTest::newRow("half") << written_.left(written_.size() / 2) << false;
        QByteArray flipped = written_;
        flipped[200] = char(flipped[200] ^ 0x55);
        QTest::newRow("damaged byte") << flipped << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("text") << QByteArray("r0c0\t,r0c1\t\r\n") << false;
        const QByteArray sheet
            = "<?xml version=\"1.0\"?><worksheet><sheetData><row/></sheetData></worksheet>";
        QTest::newRow("stored, complete") << StoredZip(MinimalParts(sheet)) << true;
        QTest::newRow("stored, sheet cut") << StoredZip(MinimalParts(sheet.left(sheet.size() - 5))) << false;
        QTest::newRow("stored, sheet cut at a tag")
            << StoredZip(MinimalParts(sheet.left(sheet.indexOf("</sheetData>")))) << false;
        auto missing = MinimalParts(sheet);
        missing.removeLast();
        QTest::newRow("stored, no sheet") << StoredZip(missing) << false;
    }
    void check()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, complete);
        QCOMPARE(IsCompleteWorkbook(bytes), complete);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestWorkbookCheck)
#include "TestWorkbookCheck.moc"
