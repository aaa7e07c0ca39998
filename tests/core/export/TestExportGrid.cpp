#include "core/export/ExportGrid.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using namespace exporttest;

namespace {
const QString kSheet = QStringLiteral("Quorvel软件-淘宝发货信息表");
const QString kCannotReplace = QStringLiteral("该文件无法覆盖，请确认该文件没被其他软件打开！");
const QString kSaveFailed = QStringLiteral("文件保存出错！");
const QString kOverwrite = QStringLiteral("该文件已存在，是否覆盖？");

bool IsWorkbook(const QByteArray& bytes)
{
    return bytes.startsWith("PK\x03\x04");
}
} // namespace

class TestExportGrid : public QObject {
    Q_OBJECT

private:
    RecordingProgressView view_;
    std::unique_ptr<Progress> progress_;
    TradeGrid grid_;

private slots:
    void init()
    {
        view_ = RecordingProgressView();
        progress_ = std::make_unique<Progress>();
        progress_->SetView(&view_);
        FillGrid(grid_, 4, 3);
    }

    void offersFilters()
    {
        QTemporaryDir dir;
        RecordingPrompt prompt;
        ScriptedSaveDialog dialog(QString {});
        prompt.messages += ExportGrid(prompt, *progress_, grid_, dialog, kSheet).toTell;
        QCOMPARE(dialog.asked, 1);
        QCOMPARE(dialog.offered.size(), 3);
        QCOMPARE(dialog.offered.at(0), QStringLiteral("CSV (逗号分隔)(*.csv)"));
        QCOMPARE(dialog.offered.at(1), QStringLiteral("MS Excel文件  (*.xls)"));
        QVERIFY(dialog.offered.at(2).endsWith(QStringLiteral("(*.xlsx)")));
    }

    void cancelEndsSilently()
    {
        QTemporaryDir dir;
        RecordingPrompt prompt;
        ScriptedSaveDialog dialog(QString {});
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QCOMPARE(outcome.status, ExportStatus::Cancelled);
        QVERIFY(prompt.questions.isEmpty());
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(view_.loads, 0);
        QVERIFY(Entries(dir.path()).isEmpty());
    }

    void formatByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("csv");
        QTest::newRow(".csv") << "out.csv" << true;
        QTest::newRow(".Csv") << "out.Csv" << true;
        QTest::newRow(".CSV") << "out.CSV" << true;
        QTest::newRow("xcsv") << "outxcsv" << true;
        QTest::newRow(".xls") << "out.xls" << false;
        QTest::newRow(".xlsx") << "out.xlsx" << false;
        QTest::newRow(".txt") << "out.txt" << false;
        QTest::newRow("no extension") << "out" << false;
        QTest::newRow(".csv.xls") << "out.csv.xls" << false;
    }
    void formatByName()
    {
        QFETCH(QString, name);
        QFETCH(bool, csv);
        QCOMPARE(IsCsvFileName(name), csv);
        QTemporaryDir dir;
        RecordingPrompt prompt;
        ScriptedSaveDialog dialog(dir.filePath(name));
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QCOMPARE(outcome.status, ExportStatus::Written);
        QVERIFY(prompt.messages.isEmpty());
        QVERIFY(prompt.questions.isEmpty());
        const QByteArray bytes = testsupport::ReadFile(dir.filePath(name));
        QCOMPARE(IsWorkbook(bytes), !csv);
        if (csv)
            QVERIFY(bytes.startsWith("r0c0\t,r0c1\t,r0c2\t\r\n"));
        QCOMPARE(Entries(dir.path()), QStringList { name });
        QVERIFY(!grid_.HasUnexportedRows()); // the file holds them now
    }

    void existingFileNo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        QVERIFY(testsupport::WriteFile(path, "old contents"));
        RecordingPrompt prompt;
        prompt.answer = false;
        ScriptedSaveDialog dialog(path);
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QCOMPARE(outcome.status, ExportStatus::Cancelled);
        QCOMPARE(prompt.questions, QStringList { kOverwrite });
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(testsupport::ReadFile(path), QByteArray("old contents"));
        QCOMPARE(view_.loads, 0);
    }

    void existingFileYes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << "out.csv";
        QTest::newRow("workbook") << "out.xls";
    }
    void existingFileYes()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(testsupport::WriteFile(path, "old contents"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        RecordingPrompt prompt;
        prompt.answer = true;
        ScriptedSaveDialog dialog(path);
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QCOMPARE(outcome.status, ExportStatus::Written);
        QCOMPARE(prompt.questions, QStringList { kOverwrite });
        QVERIFY(prompt.messages.isEmpty());
        const QByteArray bytes = testsupport::ReadFile(path);
        QVERIFY(bytes != "old contents");
        QCOMPARE(IsWorkbook(bytes), !IsCsvFileName(name));
        // The replacement keeps the old file's permissions and leaves nothing beside it.
        const QFile::Permissions ownerGroupOther(0x7077);
        QCOMPARE(QFile::permissions(path) & ownerGroupOther,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(Entries(dir.path()), QStringList { name });
    }

    void cannotReplace_data()
    {
        QTest::addColumn<QString>("target"); // below the test's folder "sub"
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("kind"); // what sub/out.csv is
        QTest::addColumn<QString>("message"); // %1: the target
        const QStringList overwrite { kOverwrite };
        // No file can go where a folder is, or inside a file: said at once.
        const QString isFolder = QStringLiteral("无法保存：%1 是一个文件夹。");
        const QString inFile = QStringLiteral("无法保存：%1 所在的位置不是文件夹。");
        QTest::newRow("name of a folder") << "out.csv" << QStringList() << "folder" << isFolder;
        QTest::newRow("deep inside a file") << "out.csv/a/new.xls" << QStringList() << "file" << inFile;
        QTest::newRow("read-only file") << "out.csv" << overwrite << "read-only file" << kCannotReplace;
        QTest::newRow("read-only folder") << "out.csv" << overwrite << "read-only folder" << kCannotReplace;
    }
    void cannotReplace()
    {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QStringList, asked);
        QFETCH(QString, message);
        if (kind.startsWith(u"read-only") && geteuid() == 0)
            QSKIP("permissions do not stop root from writing");
        QTemporaryDir dir;
        const QString folder = dir.filePath("sub");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/out.csv");
        if (kind == u"folder") {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(testsupport::WriteFile(path, "old contents"));
        }
        if (kind == u"read-only file")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
        if (kind == u"read-only folder")
            QVERIFY(QFile::setPermissions(
                folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
        RecordingPrompt prompt;
        prompt.answer = true;
        const QString saveTo = folder + u'/' + target;
        ScriptedSaveDialog dialog(saveTo);
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(outcome.status, ExportStatus::Refused);
        QCOMPARE(prompt.questions, asked);
        QCOMPARE(prompt.messages,
            QStringList { message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(saveTo)) });
        QCOMPARE(view_.loads, 0);
        QCOMPARE(Entries(folder), QStringList { "out.csv" });
        if (kind != u"folder")
            QCOMPARE(testsupport::ReadFile(path), QByteArray("old contents"));
        else
            QVERIFY(Entries(path).isEmpty());
    }

    void missingFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << "missing/out.csv";
        QTest::newRow("workbook") << "missing/out.xls";
    }
    void missingFolder()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        RecordingPrompt prompt;
        ScriptedSaveDialog dialog(dir.filePath(name));
        const ExportOutcome outcome = ExportGrid(prompt, *progress_, grid_, dialog, kSheet);
        prompt.messages += outcome.toTell;
        QCOMPARE(outcome.status, ExportStatus::Failed);
        QVERIFY(prompt.questions.isEmpty());
        QCOMPARE(prompt.messages, QStringList { kSaveFailed });
        QVERIFY(!view_.loaded);
        QVERIFY(Entries(dir.path()).isEmpty());
    }

    // The disk fills up while the new file is written: the old file stays
    // as it was and no temporary file is left beside it.
    void writeFailsMidway_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("limit"); // bytes a file may hold
        QTest::newRow("csv") << "out.csv" << 3000 << 16 * 1024;
        QTest::newRow("workbook") << "out.xls" << 3000 << 16 * 1024;
        QTest::newRow("csv smaller than a write buffer") << "out.csv" << 20 << 64;
        QTest::newRow("workbook smaller than a write buffer") << "out.xls" << 20 << 64;
    }
    void writeFailsMidway()
    {
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(testsupport::WriteFile(path, "old contents"));
        TradeGrid big;
        FillGrid(big, rows, 23);
        RecordingPrompt prompt;
        prompt.answer = true;
        ScriptedSaveDialog dialog(path);
        {
            FileSizeLimit limited(limit);
            QVERIFY(limited.active());
            const ExportOutcome outcome = ExportGrid(prompt, *progress_, big, dialog, kSheet);
            prompt.messages += outcome.toTell;
            QCOMPARE(outcome.status, ExportStatus::Failed);
        }
        QCOMPARE(prompt.messages, QStringList { kSaveFailed });
        QVERIFY(!view_.loaded);
        QCOMPARE(testsupport::ReadFile(path), QByteArray("old contents"));
        QCOMPARE(Entries(dir.path()), QStringList { name });
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestExportGrid)
#include "TestExportGrid.moc"
