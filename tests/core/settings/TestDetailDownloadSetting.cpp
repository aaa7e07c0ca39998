#include "core/settings/Settings.h"
#include "core/settings/DetailDownloadSetting.h"
#include "core/settings/SettingsStore.h"
#include "support/TestSupport.h"

class TestDetailDownloadSetting : public QObject {
    Q_OBJECT
private slots:
    void limitFromStoredText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("limit");
        QTest::newRow("nothing stored") << QString() << 4;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("six, blanks around") << " 6 " << 6;
        QTest::newRow("zero") << "0" << 4;
        QTest::newRow("above the connection limit") << "7" << 4;
        QTest::newRow("decimal") << "2.5" << 4;
    }
    void limitFromStoredText()
    {
        QFETCH(QString, stored);
        QFETCH(int, limit);
        QVERIFY(SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
            QString::fromLatin1(Settings::kDetailDownloads), stored));
        const Settings settings = Settings::Read();
        QCOMPARE(DetailDownloadLimit(std::nullopt, settings), limit);
        // The command line's value wins for the run.
        QCOMPARE(DetailDownloadLimit(2, settings), 2);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestDetailDownloadSetting)
#include "TestDetailDownloadSetting.moc"
