#include "MarketSite.h"

#include "MarketPages.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

namespace demo {
namespace {

HttpReply Page(const QByteArray& body, const QByteArray& contentType = kUtf8Html, int status = 200)
{
    HttpReply reply;
    reply.response.status = status;
    reply.response.contentType = contentType;
    reply.response.body = body;
    return reply;
}

HttpReply Redirect(const QString& location)
{
    HttpReply reply;
    reply.response = HttpResponse::Redirect(location);
    return reply;
}

QString LoginAddress(const QString& redirectUrl)
{
    return paths::kLogin + QStringLiteral("?redirectURL=")
        + QString::fromLatin1(QUrl::toPercentEncoding(redirectUrl));
}

// The scheme and authority the client used, for full addresses in redirectURL.
QString Origin(const HttpRequest& request)
{
    static const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9.\\-]+(:[0-9]+)?$"));
    const QString host = QString::fromLatin1(request.Header("host"));
    return QStringLiteral("http://")
        + (plainHost.match(host).hasMatch() ? host : QStringLiteral("127.0.0.1"));
}

bool IsLoopbackHost(const QString& host)
{
    return host == QStringLiteral("127.0.0.1")
        || host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString SafeRedirectTarget(const QString& redirectUrl)
{
    const QUrl url(redirectUrl, QUrl::StrictMode);
    if (redirectUrl.isEmpty() || !url.isValid())
        return paths::kBackOffice;
    const bool localPath
        = url.scheme().isEmpty() && url.host().isEmpty() && url.path().startsWith(QLatin1Char('/'));
    const bool loopback = (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"))
        && IsLoopbackHost(url.host());
    if (!localPath && !loopback)
        return paths::kBackOffice;
    return url.toString(QUrl::FullyEncoded);
}

MarketSite::MarketSite(Shop shop, const SiteOptions& options)
    : shop_(std::move(shop))
    , options_(options)
    , failures_(shop_.seed, options.failRate)
    , outage_(options.outageAfter, options.outageSeconds)
{
}

bool MarketSite::HasSession(const HttpRequest& request) const
{
    const QString token = request.Cookie(kSessionCookie);
    if (token.isEmpty())
        return false;
    return options_.anySession || sessions_.contains(token);
}

HttpReply MarketSite::Handle(const HttpRequest& request)
{
    lastMutation_.clear();
    if (request.method != "GET" && request.method != "POST") {
        HttpReply reply = Page(NotFoundPage(), kUtf8Html, 405);
        reply.response.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, POST")));
        return reply;
    }
    const QString& path = request.path;
    if (path == QStringLiteral("/"))
        return Redirect(paths::kBackOffice);
    if (path == paths::kLogin)
        return Login(request);
    if (path == paths::kLogout)
        return Logout(request);
    if (path == paths::kBackOffice)
        return HasSession(request) ? Page(BackOfficePage(shop_)) : ToLogin(request);
    if (path == paths::kSoldItems)
        return SoldItems(request);
    if (path == paths::kTradeDetail)
        return TradeDetail(request);
    if (path == paths::kDownload)
        return Page(DownloadPage(options_.version));
    if (path == paths::kChangeStatus)
        return ChangeStatus(request);
    return Page(NotFoundPage(), kUtf8Html, 404);
}

HttpReply MarketSite::ChangeStatus(const HttpRequest& request)
{
    const QString orderNumber = request.FormValue(QStringLiteral("order"));
    const QString status = request.FormValue(QStringLiteral("status"));
    ShopTrade* trade = shop_.FindTrade(orderNumber);
    if (!trade)
        return Page(StatusChangedPage(orderNumber, QString()), kUtf8Html, 404);
    if (!kChangeableStatuses.contains(status))
        return Page(StatusChangedPage(orderNumber, QString()), kUtf8Html, 400);
    trade->status = status;
    return Page(StatusChangedPage(orderNumber, status));
}

HttpReply MarketSite::ToLogin(const HttpRequest& request) const
{
    QString target = Origin(request) + QString::fromLatin1(QUrl::toPercentEncoding(request.path, "/"));
    const QString query = request.query.toString(QUrl::FullyEncoded);
    if (!query.isEmpty())
        target += QLatin1Char('?') + query;
    return Redirect(LoginAddress(target));
}

HttpReply MarketSite::Login(const HttpRequest& request)
{
    const QString redirectUrl = request.FormValue(QStringLiteral("redirectURL"));
    listSessionEnded_ = false;
    const bool submitted
        = request.method == "POST" || request.query.hasQueryItem(QStringLiteral("TPL_username"));
    if (!submitted)
        return Page(LoginPage(redirectUrl, QString()));
    const QString name = request.FormValue(QStringLiteral("TPL_username")).trimmed();
    if (name.isEmpty())
        return Page(LoginPage(redirectUrl, QStringLiteral("请输入账户名。")));

    const QString token = QString::number(QRandomGenerator::global()->generate64(), 16);
    sessions_.insert(token);
    HttpReply reply = Redirect(SafeRedirectTarget(redirectUrl));
    reply.response.headers.append(
        { "Set-Cookie", kSessionCookie.toLatin1() + '=' + token.toLatin1() + "; Path=/; HttpOnly" });
    return reply;
}

HttpReply MarketSite::Logout(const HttpRequest& request)
{
    sessions_.remove(request.Cookie(kSessionCookie));
    HttpReply reply = Redirect(LoginAddress(paths::kBackOffice));
    reply.response.headers.append({ "Set-Cookie", kSessionCookie.toLatin1() + "=; Path=/; Max-Age=0" });
    return reply;
}

HttpReply MarketSite::SoldItems(const HttpRequest& request)
{
    // The back office's session runs out as the seller pages on: this
    // list page and every one after it go to the login page, until the
    // next login. Detail pages keep answering (--login-details ends
    // theirs), so a walk's details of the pages before are whole however
    // early it asks for the next page.
    if (options_.expireAfterPages >= 0 && listPagesServed_ >= options_.expireAfterPages
        && HasSession(request))
        listSessionEnded_ = true;
    if (!HasSession(request) || listSessionEnded_)
        return ToLogin(request);
    // A page number out of range shows the nearest page, as shops do.
    bool ok = false;
    const int asked = request.query.queryItemValue(QStringLiteral("page")).toInt(&ok);
    const int page = ok ? qBound(1, asked, shop_.PageCount()) : 1;
    ++listPagesServed_;
    HttpReply reply;
    if (options_.mutation.on) {
        MutatedPage mutated = MutateListPage(options_.mutation, page, SoldItemsPage(shop_, page));
        lastMutation_ = mutated.note;
        reply = Page(mutated.body);
    } else {
        reply = Page(SoldItemsPage(shop_, page));
    }
    if (page == options_.slowListPage)
        reply.delayMs = options_.slowListMs;
    return reply;
}

HttpReply MarketSite::TradeDetail(const HttpRequest& request)
{
    const quint64 requestNumber = detailRequests_++;
    HttpReply reply;
    if (outage_.Refuses(requestNumber)) {
        // At once, as a refused or reset connection fails, or a server
        // that cannot serve the page answers: no latency.
        if (options_.outageStatus == 0)
            reply.drop = true;
        else
            reply = Page(BusyPage(), kGbkHtml, options_.outageStatus);
        return reply;
    }
    const FailurePlan::Outcome outcome = failures_.ForRequest(requestNumber);
    if (outcome == FailurePlan::Outcome::DropConnection) {
        reply.drop = true;
    } else if (outcome == FailurePlan::Outcome::BusyPage) {
        reply = Page(BusyPage(), kGbkHtml, 503);
    } else if (!HasSession(request) || options_.loginDetails) {
        // The login form, which lacks the detail page's completion marker.
        reply = Page(LoginPage(Origin(request)
                + TradeDetailAddress(
                    request.query.queryItemValue(QStringLiteral("bizOrderId"), QUrl::FullyDecoded)),
            QString()));
    } else {
        const QString orderNumber
            = request.query.queryItemValue(QStringLiteral("bizOrderId"), QUrl::FullyDecoded);
        const ShopTrade* trade = shop_.FindTrade(orderNumber);
        reply = trade ? Page(TradeDetailPage(shop_, *trade), kGbkHtml)
                      : Page(TradeMissingPage(shop_, orderNumber), kGbkHtml, 404);
        if (trade && options_.mutation.on) {
            MutatedPage mutated = MutateDetailPage(options_.mutation, orderNumber, reply.response.body);
            reply.response.body = mutated.body;
            lastMutation_ = mutated.note;
        }
    }
    reply.delayMs = options_.latencyMs;
    MakeSlow(options_.slow, requestNumber, reply);
    return reply;
}

} // namespace demo
