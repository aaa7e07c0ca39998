#include "support/DemoListPage.h"
#include "support/DemoTruth.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/extract/ListParser.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"
#include "core/text/TextHelpers.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

using demolist::DemoListPage;
using demolist::Get;

namespace {

using demotruth::ExpectedDetails;
using demotruth::FirstWord;
using demotruth::Number;

QStringList RowTexts(const TradeGrid& grid, int row, int first, int last)
{
    QStringList texts;
    for (int c = first; c <= last; ++c)
        texts.append(grid.TextMatrix(row, c));
    return texts;
}

} // namespace

class TestDemoExtraction : public QObject {
    Q_OBJECT
private slots:
    void extractsEveryPageLikeTheShop_data()
    {
        QTest::addColumn<QString>("failRate");
        QTest::addColumn<QString>("latencyMs");
        QTest::addColumn<QStringList>("shop");
        QTest::newRow("reliable") << QStringLiteral("0") << QStringLiteral("0") << QStringList();
        QTest::newRow("a fifth of detail requests fail")
            << QStringLiteral("0.2") << QStringLiteral("0") << QStringList();
        // Slow and failing often: a trade may run out of attempts.
        QTest::newRow("slow, half of detail requests fail")
            << QStringLiteral("0.5") << QStringLiteral("20") << QStringList();
        // Masked and virtual mobiles, country codes, municipalities: read whole.
        QTest::newRow("everyday address forms")
            << QStringLiteral("0") << QStringLiteral("0") << QStringList { "--address-forms" };
    }
    void extractsEveryPageLikeTheShop()
    {
        QFETCH(QString, failRate);
        QFETCH(QString, latencyMs);
        QFETCH(QStringList, shop);
        QTemporaryDir dir;
        const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
        testsupport::DemoMarket market(
            QStringList { "--pages", "3", "--per-page", "15", "--seed", "2024", "--fail-rate", failRate,
                "--latency-ms", latencyMs, "--dump-truth", truthPath }
            + shop);
        if (!market.ok())
            SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
        QFile truthFile(truthPath);
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        const QJsonArray trades
            = QJsonDocument::fromJson(truthFile.readAll()).object().value("trades").toArray();
        QCOMPARE(trades.size(), 45);

        standin::RecordingPrompt prompt;
        RunContext run(
            RunServices { .prompt = &prompt, .endpoints = testsupport::TradeHostAt(market.base()) });
        // Logging in leaves the session cookie in the fetches' jar.
        Get(run.fetcher.Network(), market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
        DemoListPage page(run.fetcher.Network(), market.base());

        TradeGrid grid;
        int calls = 1;
        DetailDownloadPass pass;
        QStringList told;
        const auto extractPage = [&] {
            PageExtraction read = ExtractTradePage(run, page, grid, true, pass);
            told += read.messages;
            return read.nextClicked;
        };
        StartProgress(run.progress, QStringLiteral("walk"), 500, 0);
        while (extractPage() && calls < 501)
            ++calls;
        CloseProgress(run.progress);
        QCOMPARE(calls, 3);
        QCOMPARE(page.pagesLoaded, 3);
        QVERIFY(told.isEmpty());

        int row = grid.FixedRows();
        int itemRows = 0;
        int tradesWithoutDetails = 0;
        QSet<int> pieceCounts;
        for (const QJsonValue& value : trades) {
            const QJsonObject trade = value.toObject();
            const QString order = trade.value("orderNumber").toString();
            const QJsonArray items = trade.value("items").toArray();
            const QStringList details = ExpectedDetails(trade);
            pieceCounts.insert(int(trade.value("addressPieces").toArray().size()));
            for (int i = 0; i < items.size(); ++i, ++row, ++itemRows) {
                QVERIFY2(row < grid.Rows(), qPrintable(order));
                const QJsonObject item = items.at(i).toObject();
                const QStringList expected {
                    QString::number(row - 1),
                    i == 0 ? order : order + QStringLiteral("_%1").arg(i),
                    trade.value("time").toString(),
                    FirstWord(item.value("title").toString()),
                    Number(item.value("price").toString()),
                    QString::number(item.value("quantity").toInt()),
                    item.value("afterSales").toString().trimmed(),
                    trade.value("buyer").toString(),
                    trade.value("name").toString().trimmed(),
                    FirstWord(trade.value("status").toString()),
                    i == 0 ? Number(trade.value("amount").toString()) : QString(),
                    trade.value("rating").toString().trimmed(),
                };
                QCOMPARE(RowTexts(grid, row, ColSequence, ColRating), expected);
                // Details are all there, or (when every attempt failed) all
                // missing: never half written.
                const QStringList got = RowTexts(grid, row, ColRecipient, ColWaybill);
                if (got != details && failRate.toDouble() > 0.2 && got.join(QString()).isEmpty())
                    ++tradesWithoutDetails;
                else
                    QCOMPARE(got, details);
            }
        }
        QCOMPARE(grid.Rows(), row);
        QVERIFY(tradesWithoutDetails < itemRows / 4);
        QVERIFY2(itemRows > trades.size(), "the shop must hold trades of several items");
        QVERIFY2(pieceCounts.size() >= 2, "the shop must hold address lines of several lengths");
    }

    void withoutSessionDetailsStayEmpty()
    {
        testsupport::DemoMarket market({ "--pages", "1", "--per-page", "3", "--seed", "7" });
        if (!market.ok())
            SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
        RecordingProgressView view;
        RunContext run(RunServices { .endpoints = testsupport::TradeHostAt(market.base()) });
        run.progress.SetView(&view);
        // The list is read with a session; the detail fetches have none.
        QNetworkAccessManager browserSide;
        Get(browserSide, market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
        DemoListPage page(browserSide, market.base());
        TradeGrid grid;
        DetailDownloadPass pass;
        QVERIFY(!ExtractTradePage(run, page, grid, false, pass).nextClicked);
        QVERIFY(grid.Rows() >= 5);
        for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
            QCOMPARE(RowTexts(grid, r, ColRecipient, ColWaybill), QStringList(10, QString()));
        QCOMPARE(view.message, QStringLiteral("正在下载物流信息...."));
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestDemoExtraction)
#include "TestDemoExtraction.moc"
