#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include "core/settings/SettingsStore.h"
#include "core/text/TextHelpers.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kApp = QString::fromLatin1(kSettingsApp);
const QString kSection = QString::fromLatin1(kSettingsSection);

QString IniFile()
{
    return SettingsLocation(kApp, kSection);
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void init();

    void livesInTheConfigHome();
    void roundTrip_data();
    void roundTrip();
    void missingGivesDefault();
    void emptyGivesDefault();
    void readingWritesNothing();
    void keysAreSeparate();
    void fraction_data();
    void fraction();
    void handWrittenValues_data();
    void handWrittenValues();
    void corruptFile_data();
    void corruptFile();
    void unwritableConfigDirectory();
    void fullDiskKeepsTheFile();
    void unreadableFile();
};

void TestSettingsStore::init()
{
    QFile::remove(IniFile());
    QFile::remove(IniFile() + QStringLiteral(".corrupt"));
}

void TestSettingsStore::livesInTheConfigHome()
{
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!home.isEmpty());
    QCOMPARE(IniFile(), home + QStringLiteral("/KX_ORD_C/QV09.ini"));
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("1")));
    QVERIFY(QFileInfo::exists(IniFile()));
    QVERIFY(testsupport::ReadFile(IniFile()).contains("CHK_0=1"));
}

void TestSettingsStore::roundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("check box on") << "CHK_0"
                                  << "1";
    QTest::newRow("check box off") << "CHK_1"
                                   << "0";
    QTest::newRow("fraction") << "Split_Top_0"
                              << "0.3529412";
    QTest::newRow("chinese text") << "CHK_0"
                                  << "过滤关闭交易";
    QTest::newRow("comma") << "CHK_0"
                           << "a,b";
    QTest::newRow("equals and semicolon") << "CHK_0"
                                          << "x=y;z";
    QTest::newRow("leading and trailing blanks") << "CHK_0"
                                                 << " 0.5 ";
    QTest::newRow("quotes and backslash") << "CHK_0"
                                          << "\"a\\b\"";
    QTest::newRow("at sign") << "CHK_0"
                             << "@Variant(x)";
    QTest::newRow("line break") << "CHK_0"
                                << "a\r\nb";
}

void TestSettingsStore::roundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QVERIFY(SaveRegSetting(kApp, kSection, key, value));
    QCOMPARE(GetRegSetting(kApp, kSection, key, QStringLiteral("default")), value);
}

void TestSettingsStore::missingGivesDefault()
{
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("0"));
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_1"), QStringLiteral("1")));
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("0"));
    QCOMPARE(GetRegSetting(kApp, QStringLiteral("OTHER"), QStringLiteral("CHK_1"), QStringLiteral("d")),
        QStringLiteral("d"));
}

void TestSettingsStore::emptyGivesDefault()
{
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("1")));
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QString()));
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("0"));
}

void TestSettingsStore::readingWritesNothing()
{
    GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0"));
    QVERIFY(!QFileInfo::exists(IniFile()));
}

void TestSettingsStore::keysAreSeparate()
{
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("Split_Top_0"), QStringLiteral("0.25")));
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("Split_Top_1"), QStringLiteral("0.75")));
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("Split_Top_0"), QStringLiteral("0.5")));
    QCOMPARE(GetRegSetting(kApp, kSection, QStringLiteral("Split_Top_0"), QString()), QStringLiteral("0.5"));
    QCOMPARE(GetRegSetting(kApp, kSection, QStringLiteral("Split_Top_1"), QString()), QStringLiteral("0.75"));
}

void TestSettingsStore::fraction_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("text");

    QTest::newRow("quarter") << 0.25 << "0.25";
    QTest::newRow("six of seventeen") << 6.0 / 17.0 << "0.3529412";
    QTest::newRow("two thirds") << 2.0 / 3.0 << "0.6666667";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("one") << 1.0 << "1";
}

void TestSettingsStore::fraction()
{
    QFETCH(double, fraction);
    QFETCH(QString, text);
    QCOMPARE(SingleText(float(fraction)), text);
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("Split_Top_0"), SingleText(float(fraction))));
    const QString stored = GetRegSetting(kApp, kSection, QStringLiteral("Split_Top_0"), QStringLiteral("x"));
    QCOMPARE(stored, text);
    QCOMPARE(float(LeadingNumber(stored)), float(fraction));
}

void TestSettingsStore::handWrittenValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain") << QByteArray("[General]\nCHK_0=1\n") << "1";
    QTest::newRow("not a number") << QByteArray("[General]\nCHK_0=yes\n") << "yes";
    QTest::newRow("empty value") << QByteArray("[General]\nCHK_0=\n") << "default";
    QTest::newRow("a list is not a text") << QByteArray("[General]\nCHK_0=1, 2\n") << "default";
    QTest::newRow("other section only") << QByteArray("[Other]\nCHK_0=1\n") << "default";
    QTest::newRow("empty file") << QByteArray() << "default";
    QTest::newRow("windows line breaks") << QByteArray("[General]\r\nCHK_0=1\r\n") << "1";
}

void TestSettingsStore::handWrittenValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, value);
    QVERIFY(testsupport::WriteFile(IniFile(), file));
    QCOMPARE(GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("default")), value);
}

void TestSettingsStore::corruptFile_data()
{
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("binary") << QByteArray::fromHex("00ff10fe8000") + QByteArray("CHK_0=1\n");
    QTest::newRow("not UTF-8") << QByteArray("[General]\nCHK_0=\xd6\xd0\xce\xc4\n");
    QTest::newRow("NUL after good lines") << QByteArray("[General]\nCHK_0=1\n\0\0\0", 21);
    QTest::newRow("unclosed section") << QByteArray("[General\nCHK_0=1\n");
    QTest::newRow("unclosed section after good lines") << QByteArray("[General]\nCHK_0=1\n[Oth\n");
}

void TestSettingsStore::corruptFile()
{
    QFETCH(QByteArray, file);
    QVERIFY(testsupport::WriteFile(IniFile(), file));
    // Reading gives defaults and leaves the file as it was.
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("0"));
    QCOMPARE(testsupport::ReadFile(IniFile()), file);

    // Writing keeps the damaged bytes aside and starts a clean file.
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_1"), QStringLiteral("1")));
    QCOMPARE(testsupport::ReadFile(IniFile() + QStringLiteral(".corrupt")), file);
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_1"), QStringLiteral("0")), QStringLiteral("1"));
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("0"));
    const QByteArray fresh = testsupport::ReadFile(IniFile());
    QVERIFY(fresh.contains("CHK_1=1"));
    QVERIFY(!fresh.contains('\0'));
}

void TestSettingsStore::unwritableConfigDirectory()
{
    if (geteuid() == 0)
        QSKIP("permissions do not stop root from writing");
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("1")));
    const QByteArray before = testsupport::ReadFile(IniFile());
    const QString folder = QFileInfo(IniFile()).absolutePath();
    const auto saved = QFile::permissions(folder);
    QFile::setPermissions(IniFile(), QFileDevice::ReadOwner);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const Done written = SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0"));
    QFile::setPermissions(folder, saved);
    QFile::setPermissions(IniFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(!written);
    QCOMPARE(testsupport::ReadFile(IniFile()), before);
    QCOMPARE(
        GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0")), QStringLiteral("1"));
}

// A disk that takes only part of the new file: the store says so and the
// file stays as it was, never cut off.
void TestSettingsStore::fullDiskKeepsTheFile()
{
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("1")));
    const QByteArray before = testsupport::ReadFile(IniFile());
    Done written;
    {
        exporttest::FileSizeLimit full(before.size() + 10);
        if (!full.active())
            QSKIP("cannot limit file sizes here");
        written = SaveRegSetting(kApp, kSection, QStringLiteral("Printer_Offsets"), QString(200, u'x'));
    }
    QVERIFY(!written);
    QCOMPARE(testsupport::ReadFile(IniFile()), before);
    QCOMPARE(QDir(QFileInfo(IniFile()).absolutePath()).entryList(QDir::Files), QStringList { "QV09.ini" });
}

void TestSettingsStore::unreadableFile()
{
    if (geteuid() == 0)
        QSKIP("permissions do not stop root from reading");
    QVERIFY(SaveRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("1")));
    const QByteArray before = testsupport::ReadFile(IniFile());
    QFile::setPermissions(IniFile(), QFileDevice::Permissions());
    const QString read = GetRegSetting(kApp, kSection, QStringLiteral("CHK_0"), QStringLiteral("0"));
    const Done written = SaveRegSetting(kApp, kSection, QStringLiteral("CHK_1"), QStringLiteral("1"));
    QFile::setPermissions(IniFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(read, QStringLiteral("0"));
    QVERIFY(!written);
    QCOMPARE(testsupport::ReadFile(IniFile()), before);
}

LUMETRA_TEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
