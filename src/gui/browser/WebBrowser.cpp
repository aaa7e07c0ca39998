#include "WebBrowser.h"

#include "BrowserProfile.h"
#include "DomScripts.h"
#include "core/base/Logging.h"
#include "core/network/SharedCookieJar.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <memory>

WebBrowser::WebBrowser(BrowserProfile& profile, QWidget* parent)
    : QWebEngineView(parent)
    , profile_(profile)
{
    setPage(new QWebEnginePage(profile_.Profile(), this));
    connect(this, &QWebEngineView::loadFinished, this, &WebBrowser::DownloadComplete);
}

WebBrowser::~WebBrowser()
{
    // The cookies this browser brought in are on disk before the program ends.
    if (!profile_.CookieJar().SaveNow())
        qCWarning(lcWeb) << "the browser's cookies were not kept for the next run";
}

void WebBrowser::Navigate2(const QString& address)
{
    load(QUrl::fromUserInput(address));
}

QString WebBrowser::ElementInnerHtml(const QString& id)
{
    return RunScriptForText(domscripts::ElementInnerHtml(id), scriptTimeoutMs_);
}

QString WebBrowser::BodyHtml()
{
    return RunScriptForText(domscripts::BodyHtml(), scriptTimeoutMs_);
}

QString WebBrowser::FindLinkInPage(const QString& linkText, bool click, const QString& tagName)
{
    if (!click)
        return RunScriptForText(domscripts::FindLink(linkText, false, tagName), scriptTimeoutMs_);
    // A page busy with its own scripts may run ours late. A click after we
    // stopped waiting would load a page nobody reads (the "下一页" of a walk
    // that has ended): the script clicks only up to our deadline, and its
    // answer is awaited a little past it.
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + scriptTimeoutMs_;
    return RunScriptForText(
        domscripts::FindLink(linkText, true, tagName, deadline), scriptTimeoutMs_ + kLateAnswerMs);
}

void WebBrowser::ScrollBy(int x, int y)
{
    page()->runJavaScript(domscripts::ScrollBy(x, y), QWebEngineScript::ApplicationWorld);
}

QWebEngineView* WebBrowser::createWindow(QWebEnginePage::WebWindowType)
{
    // The engine needs a view to hand the new window's first navigation to;
    // a hidden one takes it, passes the address on and goes away.
    // It is our child, so one that never navigates goes with us.
    auto* catcher = new QWebEngineView(this);
    catcher->hide();
    catcher->setPage(new QWebEnginePage(profile_.Profile(), catcher));
    connect(catcher->page(), &QWebEnginePage::urlChanged, this, [this, catcher](const QUrl& url) {
        if (url.isEmpty())
            return;
        catcher->deleteLater();
        load(url);
    });
    return catcher;
}

QString WebBrowser::RunScriptForText(const QString& script, int timeoutMs)
{
    // The answer may come after we gave up (or never); it lands in shared
    // state that outlives this call rather than in our stack frame.
    struct Answer {
        bool arrived = false;
        QString text;
        QEventLoop* loop = nullptr;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    answer->loop = &loop;
    // The isolated world keeps page scripts from replacing what we call;
    // the DOM is shared, and click() still reaches the page's handlers.
    page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant& value) {
        answer->arrived = true;
        if (value.typeId() == QMetaType::QString)
            answer->text = value.toString();
        if (answer->loop)
            answer->loop->quit();
    });
    if (!answer->arrived) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    answer->loop = nullptr;
    return answer->arrived ? answer->text : QString();
}
