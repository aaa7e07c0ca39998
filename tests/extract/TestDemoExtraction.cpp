#include "DemoTruth.h"
#include "TestSupport.h"

#include "common/Endpoints.h"
#include "common/TextHelpers.h"
#include "common/UserPrompt.h"
#include "extract/ListParser.h"
#include "grid/TradeGrid.h"
#include "progress/Progress.h"
#include "progress/RecordingProgressView.h"
#include "web/BrowserPage.h"
#include "web/HttpGetPage.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QString kListPath = QStringLiteral("/trade/itemlist/list_sold_items.htm?page=");

QByteArray Get(QNetworkAccessManager& manager, const QString& url)
{
    QNetworkRequest request { QUrl(url) };
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

// What the browser's serializer gives for a page's markup: upper-case tag
// names and CR LF line breaks.
QString SerializedForm(const QString& html)
{
    static const QRegularExpression tagName(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)"));
    QString out;
    qsizetype from = 0;
    for (auto it = tagName.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(html).mid(from, m.capturedStart() - from);
        out += QLatin1Char('<') + m.captured(1) + m.captured(2).toUpper();
        from = m.capturedEnd();
    }
    out += QStringView(html).mid(from);
    return NormalizeLineBreaks(out);
}

// The sold-items list as the browser would show it, fetched from the demo
// marketplace with the logged-in session; a click on "下一页" loads the
// page its link points at.
class DemoListPage : public BrowserPage {
public:
    DemoListPage(QNetworkAccessManager& manager, QString base)
        : manager_(manager)
        , base_(std::move(base))
    {
        Load(kListPath + QStringLiteral("1"));
    }
    int pagesLoaded = 0;

    QString ElementInnerHtml(const QString& id) override
    {
        const QString open = QStringLiteral("id=\"%1\"").arg(id);
        const qsizetype at = html_.indexOf(open);
        if (at < 0)
            return QString();
        const qsizetype start = html_.indexOf(QLatin1Char('>'), at) + 1;
        const qsizetype end = html_.indexOf(QStringLiteral("</TABLE>"), start);
        return html_.mid(start, end - start);
    }
    QString BodyHtml() override { return html_; }
    QString FindLinkInPage(const QString& linkText, bool click, const QString& tagName) override
    {
        static const QRegularExpression anchor(QStringLiteral("<A\\b[^>]*>([^<]*)</A>"));
        for (auto it = anchor.globalMatch(html_); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (tagName.toUpper() != QStringLiteral("A") || m.captured(1) != linkText)
                continue;
            if (m.captured(0).contains(QStringLiteral("disabled")))
                return QString();
            static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
            const QString target
                = href.match(m.captured(0)).captured(1).replace(QStringLiteral("&amp;"), "&");
            if (click)
                Load(target);
            return target;
        }
        return QString();
    }
    void ScrollBy(int, int) override { }

private:
    void Load(const QString& path)
    {
        html_ = SerializedForm(QString::fromUtf8(Get(manager_, base_ + path)));
        ++pagesLoaded;
    }

    QNetworkAccessManager& manager_;
    QString base_;
    QString html_;
};

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

class SilentPrompt : public UserPrompt {
public:
    QStringList messages;
    void ShowMessage(const QString& text) override { messages.append(text); }
    bool AskYesNo(const QString&) override { return false; }
};

} // namespace

class TestDemoExtraction : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        SetProgressView(&view_);
        SetUserPrompt(&prompt_);
    }
    void cleanup()
    {
        SetProgressView(nullptr);
        SetUserPrompt(nullptr);
        SetEndpoints(DefaultEndpoints());
        HttpNetworkManager().setCookieJar(new QNetworkCookieJar);
    }

    void extractsEveryPageLikeTheShop_data()
    {
        QTest::addColumn<QString>("failRate");
        QTest::addColumn<QString>("latencyMs");
        QTest::newRow("reliable") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("a fifth of detail requests fail") << QStringLiteral("0.2") << QStringLiteral("0");
        // Slow and failing often: a trade may run out of attempts.
        QTest::newRow("slow, half of detail requests fail") << QStringLiteral("0.5") << QStringLiteral("20");
    }
    void extractsEveryPageLikeTheShop()
    {
        QFETCH(QString, failRate);
        QFETCH(QString, latencyMs);
        QTemporaryDir dir;
        const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
        testsupport::DemoMarket market({ "--pages", "3", "--per-page", "15", "--seed", "2024", "--fail-rate",
            failRate, "--latency-ms", latencyMs, "--dump-truth", truthPath });
        if (!market.ok())
            QSKIP("demo marketplace not available");
        QFile truthFile(truthPath);
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        const QJsonArray trades
            = QJsonDocument::fromJson(truthFile.readAll()).object().value("trades").toArray();
        QCOMPARE(trades.size(), 45);

        Endpoints endpoints = DefaultEndpoints();
        endpoints.tradeBase = market.base();
        SetEndpoints(endpoints);
        // Logging in leaves the session cookie in the fetches' jar.
        Get(HttpNetworkManager(), market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
        DemoListPage page(HttpNetworkManager(), market.base());

        TradeGrid grid;
        int calls = 1;
        StartProgress(QStringLiteral("walk"), 500, 0);
        while (ExtractTradePage(page, grid, true) && calls < 501)
            ++calls;
        CloseProgress();
        QCOMPARE(calls, 3);
        QCOMPARE(page.pagesLoaded, 3);
        QVERIFY(prompt_.messages.isEmpty());

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
                QCOMPARE(RowTexts(grid, row, 1, 12), expected);
                // Details are all there, or (when every attempt failed) all
                // missing: never half written.
                const QStringList got = RowTexts(grid, row, 13, 22);
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
            QSKIP("demo marketplace not available");
        Endpoints endpoints = DefaultEndpoints();
        endpoints.tradeBase = market.base();
        SetEndpoints(endpoints);
        // The list is read with a session; the detail fetches have none.
        QNetworkAccessManager browserSide;
        Get(browserSide, market.url(QStringLiteral("/member/login.jhtml?TPL_username=demo")));
        DemoListPage page(browserSide, market.base());
        TradeGrid grid;
        QVERIFY(!ExtractTradePage(page, grid, false));
        QVERIFY(grid.Rows() >= 5);
        for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
            QCOMPARE(RowTexts(grid, r, 13, 22), QStringList(10, QString()));
        QCOMPARE(view_.message, QStringLiteral("正在下载物流信息...."));
    }

private:
    RecordingProgressView view_;
    SilentPrompt prompt_;
};

LUMETRA_TEST_GUILESS_MAIN(TestDemoExtraction)
#include "TestDemoExtraction.moc"
