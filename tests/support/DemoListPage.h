#pragma once
// The demo marketplace's sold-items list as the browser would show it, for
// tests and benchmarks that run the parser without a browser: pages fetched
// with a logged-in session and put in the serialized form (upper-case tag
// names, CR LF); a click on "下一页" loads the page its link points at.

#include "core/network/BrowserPage.h"
#include "core/text/TextHelpers.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

namespace demolist {

inline const QString kListPath = QStringLiteral("/trade/itemlist/list_sold_items.htm?page=");

inline QByteArray Get(QNetworkAccessManager& manager, const QString& url)
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
inline QString SerializedForm(const QString& html)
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

} // namespace demolist
