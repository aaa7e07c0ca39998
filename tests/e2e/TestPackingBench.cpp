// The packing bench on the demo marketplace, in the real window: the day is
// walked, the slips printed to PDF and their barcodes scanned back; a scan
// into 验货 shows the parcel green, red once the buyer has asked for a
// refund, amber once the marketplace is gone; a restart keeps 已验.

#include "E2eSupport.h"
#include "support/DemoListPage.h"
#include "support/PdfReading.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/recovery/GridRecovery.h"
#include "core/session/Commands.h"
#include "gui/packcheck/PackCheckWindow.h"
#include "print/PdfDocumentPrinter.h"

#include <QAction>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

using standin::RecordingPrompt;

namespace {

// A run of the tool with its recovery in folder, as main() builds it.
struct BenchRun {
    BenchRun(RecordingPrompt& prompt, const QString& base, const QString& folder)
        : recovery(folder)
        , windowRun(RunServices {
              .prompt = &prompt, .endpoints = e2e::DemoEndpoints(base), .checkpoint = &recovery })
    {
        windowRun.run.fetcher.SetFirstRetryPauseMs(10);
        window = &windowRun.Open();
        window->show();
    }
    GridRecovery recovery;
    e2e::WindowRun windowRun;
    MainWindow* window = nullptr;
};

// The 验货 window opened from the 打印 menu.
PackCheckWindow* OpenPackCheck(MainWindow& window)
{
    auto* print = window.findChild<QPushButton*>(QStringLiteral("print"));
    for (QAction* action : print->menu()->actions())
        if (action->text() == QStringLiteral("验货…"))
            action->trigger();
    return window.findChild<PackCheckWindow*>(QStringLiteral("packCheck"));
}

QString Shown(PackCheckWindow& packCheck, const char* name)
{
    return packCheck.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

// Types code into the input, as a scanner does, and waits for the answer.
std::optional<ParcelVerdict> ScanInto(PackCheckWindow& packCheck, const QString& code)
{
    QSignalSpy answered(&packCheck, &PackCheckWindow::Answered);
    auto* input = packCheck.findChild<QLineEdit*>(QStringLiteral("scan"));
    QTest::keyClicks(input, code);
    QTest::keyClick(input, Qt::Key_Return);
    if (!answered.wait(15000))
        return std::nullopt;
    return answered.first().first().value<ParcelVerdict>();
}

} // namespace

class TestPackingBench : public QObject {
    Q_OBJECT
private slots:
    void scanAtThePackingBench();
};

void TestPackingBench::scanAtThePackingBench()
{
    testsupport::DemoMarket market(
        { "--pages", "2", "--per-page", "6", "--seed", "31", "--latency-ms", "100" });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    QTemporaryDir dir;
    const QString recoveryFolder = dir.filePath(QStringLiteral("recovery"));
    RecordingPrompt prompt(true);
    auto run = std::make_unique<BenchRun>(prompt, market.base(), recoveryFolder);
    MainWindow& window = *run->window;
    QVERIFY(e2e::LogIn(window, market.base(), run->windowRun.run.fetcher.CookieJar()));
    QVERIFY(e2e::OpenSoldItems(window));
    window.Run(Command::ExtractAll);

    // The slips on the smallest label, printed to PDF and scanned back.
    const CommandOutcome collected = window.Session().CollectDocuments({});
    QVERIFY(collected.documents && collected.documents->slips.size() >= 2);
    const QString slipsPath = dir.filePath(QStringLiteral("slips.pdf"));
    PdfDocumentPrinter printer;
    const DocumentWritten written = printer.WritePdf(
        *collected.documents, ShippingDocument::PackingSlips, SlipPaper::Label76x130, slipsPath);
    QVERIFY2(written.IsWritten(), qPrintable(written.toTell));
    const QStringList scanned = testsupport::ScannedBarcodes(slipsPath);
    QCOMPARE(scanned.size(), collected.documents->slips.size());
    const QString code = scanned.first();
    const PackingSlip& slip = collected.documents->slips.first();
    QCOMPARE(code, slip.orders.first());
    const int parcels = int(collected.documents->slips.size());

    PackCheckWindow* packCheck = OpenPackCheck(window);
    QVERIFY(packCheck && packCheck->isVisible());
    QCOMPARE(Shown(*packCheck, "counts"), QStringLiteral("已验 0 / 待验 %1").arg(parcels));
    QCOMPARE(ScanInto(*packCheck, code), std::optional(ParcelVerdict::CanShip));
    QCOMPARE(Shown(*packCheck, "verdict"), QStringLiteral("可以发货"));
    QVERIFY(Shown(*packCheck, "recipient").startsWith(slip.recipient));
    QVERIFY(Shown(*packCheck, "items").contains(slip.items.first().title));
    QVERIFY(Shown(*packCheck, "trades").startsWith(QStringLiteral("本包裹 %1 笔交易").arg(slip.orders.size())));
    QCOMPARE(Shown(*packCheck, "counts"), QStringLiteral("已验 1 / 待验 %1").arg(parcels - 1));
    QVERIFY(packCheck->findChild<QLineEdit*>(QStringLiteral("scan"))->text().isEmpty());

    // The buyer asks for a refund after the walk.
    QNetworkAccessManager network;
    QVERIFY(demolist::Get(
        network, market.url(QStringLiteral("/demo/change-status?order=%1&status=%2").arg(code, "退款中")))
                .contains("退款中"));
    QCOMPARE(ScanInto(*packCheck, code), std::optional(ParcelVerdict::Refund));
    QCOMPARE(Shown(*packCheck, "verdict"), QStringLiteral("已申请退款，不要发货"));
    QVERIFY2(Shown(*packCheck, "note").startsWith(QStringLiteral("这个包裹已于")),
        qPrintable(Shown(*packCheck, "note")));
    QCOMPARE(Shown(*packCheck, "counts"), QStringLiteral("已验 1 / 待验 %1").arg(parcels - 1));

    // A code of no parcel says so and asks nothing of the marketplace.
    QSignalSpy answered(packCheck, &PackCheckWindow::Answered);
    QTest::keyClicks(packCheck->findChild<QLineEdit*>(QStringLiteral("scan")), QStringLiteral("777"));
    QTest::keyClick(packCheck->findChild<QLineEdit*>(QStringLiteral("scan")), Qt::Key_Return);
    QCOMPARE(Shown(*packCheck, "verdict"), QStringLiteral("找不到这个单号"));
    QCOMPARE(answered.count(), 0);

    // The marketplace goes away: amber with the morning's status, never green.
    market.Stop();
    const QString second = scanned.last();
    QCOMPARE(ScanInto(*packCheck, second), std::optional(ParcelVerdict::Unchecked));
    QVERIFY2(Shown(*packCheck, "verdict").startsWith(QStringLiteral("无法核对状态\n早上的状态：")),
        qPrintable(Shown(*packCheck, "verdict")));
    QCOMPARE(Shown(*packCheck, "counts"), QStringLiteral("已验 2 / 待验 %1").arg(parcels - 2));

    // A restart: the grid comes back from the recovery file, the marks from theirs.
    run.reset();
    run = std::make_unique<BenchRun>(prompt, market.base(), recoveryFolder);
    QCOMPARE(run->window->Session().OfferRecovery().offer, RecoveryOffer::Restored);
    packCheck = OpenPackCheck(*run->window);
    QVERIFY(packCheck);
    QCOMPARE(Shown(*packCheck, "counts"), QStringLiteral("已验 2 / 待验 %1").arg(parcels - 2));
    (void)ScanInto(*packCheck, code);
    QVERIFY2(Shown(*packCheck, "note").startsWith(QStringLiteral("这个包裹已于")),
        qPrintable(Shown(*packCheck, "note")));
}

LUMETRA_TEST_MAIN(TestPackingBench)
#include "TestPackingBench.moc"
