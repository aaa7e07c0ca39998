#include "DemoOptions.h"

#include <QCommandLineParser>

namespace demo {
namespace {

bool ReadInt(const QCommandLineParser& parser, const QString& name, qint64 low, qint64 high, qint64& value,
    QString& message)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 read = parser.value(name).toLongLong(&ok);
    if (!ok || read < low || read > high) {
        message = QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\"")
                      .arg(name)
                      .arg(low)
                      .arg(high)
                      .arg(parser.value(name));
        return false;
    }
    value = read;
    return true;
}

} // namespace

bool ParseDemoOptions(const QStringList& arguments, DemoOptions& options, QString& message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A local seller back office with generated trades."));
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1; 0 picks a free one."),
            QStringLiteral("N") },
        { QStringLiteral("pages"), QStringLiteral("Pages of sold items (default 3)."), QStringLiteral("N") },
        { QStringLiteral("per-page"), QStringLiteral("Trades per page (default 20)."), QStringLiteral("N") },
        { QStringLiteral("seed"), QStringLiteral("Seed of the generated shop (default 1)."),
            QStringLiteral("S") },
        { QStringLiteral("latency-ms"), QStringLiteral("Delay added to every detail page."),
            QStringLiteral("MS") },
        { QStringLiteral("fail-rate"), QStringLiteral("Share 0..1 of detail requests that fail."),
            QStringLiteral("P") },
        { QStringLiteral("outage-after"),
            QStringLiteral("Detail requests served before the detail pages go away."), QStringLiteral("N") },
        { QStringLiteral("outage-seconds"),
            QStringLiteral("How long the detail pages stay away (connections closed at once)."),
            QStringLiteral("S") },
        { QStringLiteral("outage-status"),
            QStringLiteral(
                "Answer the outage's detail requests with this status (500-599) instead of closing "
                "their connections."),
            QStringLiteral("CODE") },
        { QStringLiteral("login-details"),
            QStringLiteral("Every detail request gets the login page; list pages still show.") },
        { QStringLiteral("silent-after"),
            QStringLiteral("Detail requests answered before the host accepts connections and never answers."),
            QStringLiteral("N") },
        { QStringLiteral("trickle-request"),
            QStringLiteral("The detail request (counted from 0) whose page comes one byte a second."),
            QStringLiteral("N") },
        { QStringLiteral("version"), QStringLiteral("Version shown on the download page."),
            QStringLiteral("V") },
        { QStringLiteral("dump-truth"), QStringLiteral("Write the generated shop as JSON."),
            QStringLiteral("FILE") },
        { QStringLiteral("nick"), QStringLiteral("The seller's nick."), QStringLiteral("NAME") },
        { QStringLiteral("virtual-every"),
            QStringLiteral("Every Nth trade is virtual goods, without a shipping block (0: none)."),
            QStringLiteral("N") },
        { QStringLiteral("drift"),
            QStringLiteral("Drifted labels and markup on some pages, and look-alike trades.") },
        { QStringLiteral("misshape"),
            QStringLiteral("Trades whose pages differ in shape (see demo/README.md), and each page's "
                           "first trade listed again at the top of the next.") },
        { QStringLiteral("address-forms"),
            QStringLiteral(
                "Trades whose address lines take everyday forms: masked and virtual mobiles, "
                "country codes, room numbers, municipalities and new districts (see demo/README.md).") },
        { QStringLiteral("parcels-to-ship"),
            QStringLiteral("Parcels still to ship with a municipality written twice, an autonomous region, "
                           "a privacy number and three trades to one recipient (see demo/README.md).") },
        { QStringLiteral("rows-in-script"),
            QStringLiteral("From list page N on, the trades come as data in a script, not as table rows."),
            QStringLiteral("N") },
        { QStringLiteral("virtual-shop"),
            QStringLiteral(
                "A shop of top-ups only: every trade delivered, no detail page with a shipping section.") },
        { QStringLiteral("renamed-section"),
            QStringLiteral("Every detail page says 收货人信息： for 收货地址：, and every paid trade has shipped.") },
        { QStringLiteral("any-session"),
            QStringLiteral("Any session cookie counts as logged in (a profile that logged in elsewhere).") },
        { QStringLiteral("expire-after-pages"),
            QStringLiteral("List pages served before every session ends."), QStringLiteral("N") },
        { QStringLiteral("slow-list-page"),
            QStringLiteral("The list page (from 1) answered late, by --slow-list-ms (default 2500)."),
            QStringLiteral("N") },
        { QStringLiteral("slow-list-ms"), QStringLiteral("How late the slow list page answers."),
            QStringLiteral("MS") },
        { QStringLiteral("mutate"),
            QStringLiteral("Every list and detail page through the page mutator, seeded from S and the page; "
                           "F: kept, changed (no login page in a page's place) or all (default)."),
            QStringLiteral("S[:F]") },
        { QStringLiteral("log-requests"),
            QStringLiteral("Print every request (\"GET /path?query\") to standard error.") },
    });
    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        message = parser.helpText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        message = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return false;
    }

    qint64 port = options.port, pages = options.shop.pages, perPage = options.shop.perPage,
           latency = options.site.latencyMs, outageAfter = options.site.outageAfter,
           outageSeconds = options.site.outageSeconds, virtualEvery = options.shop.virtualEvery,
           expireAfterPages = options.site.expireAfterPages, outageStatus = options.site.outageStatus,
           rowsInScript = options.shop.rowsInScriptFrom, slowListPage = options.site.slowListPage,
           slowListMs = options.site.slowListMs;
    if (!ReadInt(parser, QStringLiteral("port"), 0, 65535, port, message)
        || !ReadInt(parser, QStringLiteral("pages"), 0, 1000, pages, message)
        || !ReadInt(parser, QStringLiteral("per-page"), 1, 1000, perPage, message)
        || !ReadInt(parser, QStringLiteral("latency-ms"), 0, 600000, latency, message)
        || !ReadInt(parser, QStringLiteral("outage-after"), 0, 1000000000, outageAfter, message)
        || !ReadInt(parser, QStringLiteral("outage-seconds"), 0, 86400, outageSeconds, message)
        || !ReadInt(parser, QStringLiteral("outage-status"), 500, 599, outageStatus, message)
        || !ReadInt(parser, QStringLiteral("virtual-every"), 0, 200000, virtualEvery, message)
        || !ReadInt(parser, QStringLiteral("expire-after-pages"), 0, 1000000, expireAfterPages, message)
        || !ReadInt(parser, QStringLiteral("rows-in-script"), 0, 1000, rowsInScript, message)
        || !ReadInt(parser, QStringLiteral("slow-list-page"), 0, 1000, slowListPage, message)
        || !ReadInt(parser, QStringLiteral("slow-list-ms"), 0, 600000, slowListMs, message)
        || !ReadInt(
            parser, QStringLiteral("silent-after"), 0, 1000000000, options.site.slow.silentAfter, message)
        || !ReadInt(parser, QStringLiteral("trickle-request"), 0, 1000000000,
            options.site.slow.trickleRequest, message))
        return false;
    if (parser.isSet(QStringLiteral("outage-seconds")) != parser.isSet(QStringLiteral("outage-after"))) {
        message = QStringLiteral("--outage-after and --outage-seconds go together");
        return false;
    }
    if (pages * perPage > 200000) {
        message = QStringLiteral("--pages times --per-page may be at most 200000");
        return false;
    }
    options.port = quint16(port);
    options.shop.pages = int(pages);
    options.shop.perPage = int(perPage);
    options.site.latencyMs = int(latency);
    options.site.outageAfter = outageAfter;
    options.site.outageSeconds = int(outageSeconds);
    options.site.outageStatus = int(outageStatus);
    options.site.loginDetails = parser.isSet(QStringLiteral("login-details"));
    options.shop.virtualEvery = int(virtualEvery);
    options.shop.drift = parser.isSet(QStringLiteral("drift"));
    options.shop.misshape = parser.isSet(QStringLiteral("misshape"));
    options.shop.addressForms = parser.isSet(QStringLiteral("address-forms"));
    options.shop.parcelsToShip = parser.isSet(QStringLiteral("parcels-to-ship"));
    options.shop.rowsInScriptFrom = int(rowsInScript);
    options.shop.virtualShop = parser.isSet(QStringLiteral("virtual-shop"));
    options.shop.renamedSection = parser.isSet(QStringLiteral("renamed-section"));
    options.site.anySession = parser.isSet(QStringLiteral("any-session"));
    options.site.expireAfterPages = expireAfterPages;
    options.site.slowListPage = int(slowListPage);
    options.site.slowListMs = int(slowListMs);

    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        options.shop.seed = parser.value(QStringLiteral("seed")).toULongLong(&ok);
        if (!ok) {
            message = QStringLiteral("--seed needs a whole number from 0 to 18446744073709551615");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("fail-rate"))) {
        bool ok = false;
        const double rate = parser.value(QStringLiteral("fail-rate")).toDouble(&ok);
        if (!ok || !(rate >= 0 && rate <= 1)) {
            message = QStringLiteral("--fail-rate needs a share from 0 to 1, such as 0.2");
            return false;
        }
        options.site.failRate = rate;
    }
    if (parser.isSet(QStringLiteral("version")))
        options.site.version = parser.value(QStringLiteral("version"));
    if (parser.isSet(QStringLiteral("nick"))) {
        const QString nick = parser.value(QStringLiteral("nick")).trimmed();
        if (nick.isEmpty()) {
            message = QStringLiteral("--nick needs a name");
            return false;
        }
        options.shop.nick = nick;
    }
    if (parser.isSet(QStringLiteral("mutate"))
        && !ParseMutationPlan(parser.value(QStringLiteral("mutate")), options.site.mutation, message))
        return false;
    options.truthPath = parser.value(QStringLiteral("dump-truth"));
    options.logRequests = parser.isSet(QStringLiteral("log-requests"));
    return true;
}

} // namespace demo
