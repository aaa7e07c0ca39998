#include "BrowserProfile.h"

#include "core/base/Logging.h"
#include "core/base/ProfileLock.h"
#include "core/network/PageFetcher.h"
#include "core/network/SharedCookieJar.h"

#include <QStandardPaths>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

BrowserProfile::BrowserProfile(PageFetcher& fetcher)
    : profile_(new QWebEngineProfile(QStringLiteral("lumetra")))
    , jar_(fetcher.CookieJar())
{
    profile_->setPersistentStoragePath(BrowserProfileFolder());
    profile_->setCachePath(
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/browser"));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile_->setHttpAcceptLanguage(QStringLiteral("zh-CN,zh;q=0.9"));

    // Cookies that cannot be read back only mean logging in again.
    if (!jar_.KeepInFile(BrowserProfileFolder() + QStringLiteral("/page-fetch-cookies")))
        qCWarning(lcWeb) << "the page fetches start without the kept cookies";
    QWebEngineCookieStore* store = profile_->cookieStore();
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, &jar_, &SharedCookieJar::AddCookie);
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, &jar_, &SharedCookieJar::RemoveCookie);
    // Engines that hand the cookies kept from earlier runs over through
    // cookieAdded do so here; for the others the jar's own copy has them.
    store->loadAllCookies();

    fetcher.SetUserAgent(profile_->httpUserAgent().toUtf8());
}

BrowserProfile::~BrowserProfile()
{
    if (!jar_.SaveNow())
        qCWarning(lcWeb) << "the page fetches' cookies were not kept for the next run";
    delete profile_;
}

QByteArray ChromiumFlagsWithChineseLocale(const QByteArray& flags)
{
    for (const QByteArray& flag : flags.split(' '))
        if (flag.startsWith("--lang="))
            return flags;
    return flags.trimmed().isEmpty() ? QByteArray("--lang=zh-CN") : flags.trimmed() + " --lang=zh-CN";
}

void UseChineseBrowserLocale()
{
    const char* const name = "QTWEBENGINE_CHROMIUM_FLAGS";
    qputenv(name, ChromiumFlagsWithChineseLocale(qgetenv(name)));
}
