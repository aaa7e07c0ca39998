#pragma once
// Driving the whole tool against the demo marketplace: addresses, logging in
// through the demo's form, opening the sold-items list, waiting for pages.

#include "core/base/Endpoints.h"
#include "core/base/EventWait.h"
#include "core/network/PageAccess.h"
#include "core/network/SharedCookieJar.h"
#include "core/session/RunContext.h"
#include "gui/browser/BrowserProfile.h"
#include "gui/browser/WebBrowser.h"
#include "gui/grid/TradeGridView.h"
#include "gui/grid/WidgetTextMeasurer.h"
#include "gui/window/MainWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkCookie>
#include <QPushButton>
#include <QTimer>
#include <QSignalSpy>
#include <QUrl>
#include <functional>
#include <memory>

namespace e2e {

inline QString DemoStartUrl(const QString& base)
{
    return base + QStringLiteral("/member/login.jhtml?redirectURL=")
        + QString::fromLatin1(QUrl::toPercentEncoding(base + QStringLiteral("/seller_admin.htm")));
}

// Every address of the tool pointed at the demo marketplace.
inline Endpoints DemoEndpoints(const QString& base)
{
    Endpoints e;
    e.startUrl = DemoStartUrl(base);
    e.tradeBase = base;
    e.updateUrl = base + QStringLiteral("/download?ID=");
    return e;
}

// A window's run as main() builds it: the run (with the test's prompt, the
// demo's addresses, the window font's measurer and the checkpoint given),
// the browser profile and the main window.
struct WindowRun {
    explicit WindowRun(UserPrompt& prompt, const QString& base = QString())
        : WindowRun(RunServices {
            .prompt = &prompt, .endpoints = base.isEmpty() ? DefaultEndpoints() : DemoEndpoints(base) })
    {
    }
    // The run of services, measured in the window's font.
    explicit WindowRun(RunServices services)
        : run(WithMeasurer(std::move(services), measurer))
        , profile(run.fetcher)
    {
    }
    ~WindowRun() { window.reset(); }
    // A new window with the given collaborators; the program's end only
    // counts (tests go on).
    MainWindow& Open(WindowCollaborators collaborators = {})
    {
        window.reset();
        collaborators.programEnder = [this] { ++ended; };
        window = std::make_unique<MainWindow>(run, profile, std::move(collaborators));
        return *window;
    }

    const WidgetTextMeasurer measurer { TradeGridFont() };
    RunContext run;
    BrowserProfile profile;
    std::unique_ptr<MainWindow> window;
    int ended = 0;

private:
    static RunServices WithMeasurer(RunServices services, const TextMeasurer& measurer)
    {
        services.measurer = &measurer;
        return services;
    }
};

// The browser of a window, found by its object name.
inline WebBrowser& Browser(MainWindow& window)
{
    return *window.findChild<WebBrowser*>(QStringLiteral("browser"));
}

// The window's controls, found by their object names.
inline QPushButton* CommandButton(MainWindow& window, int index)
{
    return window.findChild<QPushButton*>(QStringLiteral("Com_%1").arg(index));
}
inline QCheckBox* CheckBox(MainWindow& window, int index)
{
    return window.findChild<QCheckBox*>(QStringLiteral("Chk_%1").arg(index));
}
inline QLabel* TotalLabel(MainWindow& window)
{
    return window.findChild<QLabel*>(QStringLiteral("total"));
}
inline QLineEdit* ShopBox(MainWindow& window)
{
    return window.findChild<QLineEdit*>(QStringLiteral("shop"));
}
inline QWidget* Bar(MainWindow& window, int index)
{
    return window.findChild<QWidget*>(QStringLiteral("bar_%1").arg(index));
}
// True until the first finished page has run the session's one-time action.
inline bool WaitingForFirstPage(MainWindow& window)
{
    return window.Session().UpdateCheck().Waiting();
}

// Runs action and waits until the browser has finished loading a page whose
// path is path.
inline bool WaitForPage(
    WebBrowser& browser, const QString& path, const std::function<void()>& action, int timeoutMs = 30000)
{
    QSignalSpy finished(&browser, &QWebEngineView::loadFinished);
    if (action)
        action();
    return WaitUntil([&] { return finished.count() > 0 && browser.url().path() == path; }, timeoutMs);
}

// Logs in through the demo's form once the login page is shown, as a user
// would type a name and password and submit. Ends on the back office with
// the session cookie in the page fetches' jar.
inline bool LogIn(MainWindow& window, const QString& base, SharedCookieJar& jar)
{
    WebBrowser& browser = Browser(window);
    if (!WaitUntil([&] { return !WaitingForFirstPage(window); }, 30000))
        return false;
    const bool backOffice = WaitForPage(browser, QStringLiteral("/seller_admin.htm"), [&] {
        browser.page()->runJavaScript(
            QStringLiteral("var f = document.forms[0];"
                           "for (var i of f.querySelectorAll('input')) {"
                           "  if (i.type === 'text' || i.type === 'password') i.value = 'seller'; }"
                           "f.submit();"));
    });
    if (!backOffice)
        return false;
    const QUrl site(base + QStringLiteral("/"));
    return WaitUntil([&] { return !jar.cookiesForUrl(site).isEmpty(); }, 10000);
}

// Clicks "已卖出的宝贝" in the back office and waits for the first list page.
inline bool OpenSoldItems(MainWindow& window)
{
    WebBrowser& browser = Browser(window);
    QString href;
    const bool ok = WaitForPage(browser, QStringLiteral("/trade/itemlist/list_sold_items.htm"),
        [&] { href = FindLinkAndClick(browser, QStringLiteral("已卖出的宝贝"), true, QStringLiteral("A")); });
    if (!ok)
        qWarning() << "sold items not opened; link" << href << "url" << browser.url()
                   << GetBodyHtml(browser).left(3000);
    return ok;
}

} // namespace e2e
