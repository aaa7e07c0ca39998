#pragma once
// The embedded browser. The seller logs in and pages through the sold-items
// list in it; the tool reads and clicks in the page it shows through the
// BrowserPage operations, which run scripts in the page and wait for their
// answer on a nested event loop for a bounded time.

#include "core/network/BrowserPage.h"

#include <QWebEnginePage>
#include <QWebEngineView>

class BrowserProfile;

class WebBrowser : public QWebEngineView, public BrowserPage {
    Q_OBJECT
public:
    // The profile must outlive the browser.
    explicit WebBrowser(BrowserProfile& profile, QWidget* parent = nullptr);
    ~WebBrowser() override;

    // Starts loading address and returns at once.
    void Navigate2(const QString& address);

    QString ElementInnerHtml(const QString& id) override;
    QString BodyHtml() override;
    QString FindLinkInPage(const QString& linkText, bool click, const QString& tagName) override;
    void ScrollBy(int x, int y) override;
    QUrl PageUrl() override { return url(); }

    // Longest wait for a script's answer; no answer gives an empty text.
    static constexpr int kScriptTimeoutMs = 5000;
    // A clicking script clicks only within the wait; its answer may take
    // this much longer to arrive and still counts.
    static constexpr int kLateAnswerMs = 1000;
    // Another wait than kScriptTimeoutMs (tests).
    void SetScriptTimeoutMs(int ms) { scriptTimeoutMs_ = ms; }

signals:
    // Raised whenever a page load finishes, the first one included.
    void DownloadComplete();

protected:
    // There is one browser: a link meant for a new window opens in this one.
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;

private:
    QString RunScriptForText(const QString& script, int timeoutMs);

    BrowserProfile& profile_;
    int scriptTimeoutMs_ = kScriptTimeoutMs;
};
