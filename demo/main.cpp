// lumetra-demo-market: a seller back office on 127.0.0.1 with a generated
// shop, for trying Lumetra Trades offline and for its tests. The first line
// on standard output is the address it serves.

#include "DemoOptions.h"
#include "LoopbackHttpServer.h"
#include "MarketSite.h"
#include "ShopGenerator.h"
#include "ShopTruth.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumetra-demo-market"));

    demo::DemoOptions options;
    QString message;
    if (!demo::ParseDemoOptions(QCoreApplication::arguments(), options, message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return QCoreApplication::arguments().contains(QStringLiteral("--help")) ? 0 : 2;
    }

    demo::Shop shop = demo::GenerateShop(options.shop);
    if (!options.truthPath.isEmpty()) {
        QString error;
        if (!demo::WriteShopTruth(shop, options.truthPath, &error)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(options.truthPath), qPrintable(error));
            return 1;
        }
    }

    demo::MarketSite site(std::move(shop), options.site);
    demo::LoopbackHttpServer server([&site, &options](const demo::HttpRequest& request) {
        if (options.logRequests) {
            // Scripts watch this to see what a client has asked for.
            const QString query
                = request.query.isEmpty() ? QString() : QLatin1Char('?') + request.query.toString();
            std::fprintf(
                stderr, "%s %s%s\n", request.method.constData(), qPrintable(request.path), qPrintable(query));
            std::fflush(stderr);
        }
        demo::HttpReply reply = site.Handle(request);
        if (options.logRequests && !site.LastMutation().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(site.LastMutation()));
            std::fflush(stderr);
        }
        return reply;
    });
    const quint16 port = server.Listen(options.port);
    if (port == 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%u: %s\n", unsigned(options.port),
            qPrintable(server.ErrorString()));
        return 1;
    }
    // Scripts read this line to find the market; flush it at once.
    std::printf("http://127.0.0.1:%u\n", unsigned(port));
    std::fflush(stdout);
    return app.exec();
}
