// Demo marketplace costs: shop generation, page rendering, loopback
// request rate, and how delayed answers overlap (they wait on timers, not
// on the event loop). Prints "name value unit" lines.

#include "LoopbackHttpServer.h"
#include "MarketPages.h"
#include "MarketSite.h"
#include "ShopGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <cstdio>
#include <memory>
#include <vector>

using namespace demo;

namespace {

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

// Sends count requests, at most `parallel` in flight, and waits for all.
// Each request in flight has its own manager, since one manager opens at
// most six connections to a host.
double RunRequests(const QString& url, const QByteArray& cookie, int count, int parallel)
{
    std::vector<std::unique_ptr<QNetworkAccessManager>> managers;
    for (int i = 0; i < parallel; ++i)
        managers.push_back(std::make_unique<QNetworkAccessManager>());
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    int started = 0, finished = 0;
    std::function<void()> startOne = [&] {
        QNetworkRequest request { QUrl(url) };
        request.setRawHeader("Cookie", cookie);
        QNetworkReply* reply = managers[size_t(started % parallel)]->get(request);
        ++started;
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply] {
            reply->readAll();
            reply->deleteLater();
            if (++finished == count)
                loop.quit();
            else if (started < count)
                startOne();
        });
    };
    for (int i = 0; i < parallel && i < count; ++i)
        startOne();
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    ShopOptions options;
    options.pages = 100;
    options.perPage = 100;
    QElapsedTimer timer;
    timer.start();
    const Shop big = GenerateShop(options);
    Print("demo_generate_10000_trades", double(timer.nsecsElapsed()) / 1e6, "ms");

    timer.restart();
    qsizetype bytes = 0;
    for (int page = 1; page <= 100; ++page)
        bytes += SoldItemsPage(big, page).size();
    const double listMs = double(timer.nsecsElapsed()) / 1e6 / 100;
    Print("demo_list_page_100_trades", listMs, "ms");
    Print("demo_list_page_size", double(bytes) / 100 / 1024, "KiB");

    timer.restart();
    for (const ShopTrade& trade : big.trades)
        bytes += TradeDetailPage(big, trade).size();
    Print("demo_detail_page_render", double(timer.nsecsElapsed()) / 1e3 / big.trades.size(), "us");

    for (int latency : { 0, 200 }) {
        SiteOptions site;
        site.latencyMs = latency;
        MarketSite market(GenerateShop(ShopOptions {}), site);
        LoopbackHttpServer server([&market](const HttpRequest& request) { return market.Handle(request); });
        const quint16 port = server.Listen(0);
        if (port == 0)
            return 1;
        QNetworkAccessManager manager;
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
        QNetworkRequest login { QUrl(base + QStringLiteral("/member/login.jhtml")) };
        login.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        login.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* reply = manager.post(login, "TPL_username=bench&TPL_password=x");
        QEventLoop wait;
        QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
        wait.exec();
        QByteArray cookie = reply->rawHeader("Set-Cookie");
        cookie = cookie.left(cookie.indexOf(';'));
        reply->deleteLater();
        const QString detail = base + QStringLiteral("/trade/detail/trade_item_detail.htm?bizOrderId=")
            + market.GetShop().trades[0].orderNumber;

        if (latency == 0) {
            const int count = 500;
            const double ms = RunRequests(detail, cookie, count, 1);
            Print("demo_detail_requests_serial", count / (ms / 1000), "req/s");
            const double listMsNet = RunRequests(
                base + QStringLiteral("/trade/itemlist/list_sold_items.htm?page=2"), cookie, 200, 1);
            Print("demo_list_request", listMsNet / 200, "ms");
        } else {
            // 20 delayed answers in flight at once: the wall time stays near
            // one latency instead of twenty.
            const int count = 20;
            const double ms = RunRequests(detail, cookie, count, count);
            Print("demo_delayed_parallel_wall", ms, "ms");
            Print("demo_delayed_parallel_over_serial", ms / (count * latency), "ratio");
        }
    }
    return 0;
}
