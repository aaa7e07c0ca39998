#pragma once
// The demo marketplace's routes: login and sessions, the back office, the
// sold-items list, trade details (with the configured latency and
// failures) and the download page.

#include "FailurePlan.h"
#include "HttpMessage.h"
#include "MutationPlan.h"
#include "OutagePlan.h"
#include "ShopData.h"

#include "SlowAnswers.h"

#include <QSet>

namespace demo {

struct SiteOptions {
    int latencyMs = 0; // added to every detail page
    double failRate = 0; // share of detail-page requests that fail
    qint64 outageAfter = -1; // detail requests served before an outage; -1 for none
    int outageSeconds = 0; // how long the outage lasts
    int outageStatus = 0; // 0: connections closed in the outage; 500-599: answered with this status
    // Every detail request gets the login page, while list pages still
    // show (the session ended between the list and its details).
    bool loginDetails = false;
    SlowAnswerOptions slow; // a silent host, a trickling page
    QString version = QStringLiteral("2.00");
    // Any session cookie counts as logged in (a profile that logged in to
    // another instance of the demo keeps its login here).
    bool anySession = false;
    // List pages served before every session ends; -1 for never.
    qint64 expireAfterPages = -1;
    // The list page (counted from 1) answered slowMs late; 0 for none.
    int slowListPage = 0;
    int slowListMs = 2500;
    // List and detail pages through the page mutator.
    MutationPlan mutation;
};

class MarketSite {
public:
    MarketSite(Shop shop, const SiteOptions& options);

    HttpReply Handle(const HttpRequest& request);

    const Shop& GetShop() const { return shop_; }
    quint64 DetailRequestCount() const { return detailRequests_; }
    // What the mutator did to the page the last request got; empty when
    // nothing.
    const QString& LastMutation() const { return lastMutation_; }

    static inline const QString kSessionCookie = QStringLiteral("demo_session");

private:
    bool HasSession(const HttpRequest& request) const;
    HttpReply Login(const HttpRequest& request);
    HttpReply Logout(const HttpRequest& request);
    HttpReply SoldItems(const HttpRequest& request);
    HttpReply TradeDetail(const HttpRequest& request);
    // The buyer changes their mind after the walk: the trade's list row and
    // detail page show the new status from now on.
    HttpReply ChangeStatus(const HttpRequest& request);
    HttpReply ToLogin(const HttpRequest& request) const;

    Shop shop_;
    SiteOptions options_;
    FailurePlan failures_;
    OutagePlan outage_;
    QSet<QString> sessions_;
    quint64 detailRequests_ = 0;
    qint64 listPagesServed_ = 0;
    bool listSessionEnded_ = false;
    QString lastMutation_;
};

// Where a login may send the browser afterwards: addresses on this loopback
// server, or a path on it. Anything else goes to the back office, so the
// login page cannot forward to other sites.
QString SafeRedirectTarget(const QString& redirectUrl);

} // namespace demo
