#include "SharedCookieJar.h"

#include "core/base/Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QSaveFile>

SharedCookieJar::SharedCookieJar(QObject* parent)
    : QNetworkCookieJar(parent)
{
    // Pages set many cookies at once; one write covers them all.
    saveSoon_.setSingleShot(true);
    saveSoon_.setInterval(0);
    connect(&saveSoon_, &QTimer::timeout, this, &SharedCookieJar::SaveNow);
}

bool SharedCookieJar::KeepInFile(const QString& path)
{
    file_ = path;
    QFile in(path);
    if (!in.exists())
        return true;
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcWeb) << "cannot read the kept cookies" << path << in.errorString();
        return false;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    while (!in.atEnd()) {
        for (const QNetworkCookie& cookie : QNetworkCookie::parseCookies(in.readLine().trimmed())) {
            if (cookie.isSessionCookie() || cookie.expirationDate() > now)
                insertCookie(cookie);
        }
    }
    return true;
}

bool SharedCookieJar::SaveNow()
{
    saveSoon_.stop();
    if (!unsaved_ || file_.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(file_).absolutePath());
    QSaveFile out(file_);
    if (!out.open(QIODevice::WriteOnly)) {
        qCWarning(lcWeb) << "cannot keep the cookies in" << file_ << out.errorString();
        return false;
    }
    // The session cookies are as secret as a password: only the user reads them.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    for (const QNetworkCookie& cookie : allCookies())
        out.write(cookie.toRawForm(QNetworkCookie::Full) + '\n');
    if (!out.commit()) {
        qCWarning(lcWeb) << "cannot keep the cookies in" << file_ << out.errorString();
        return false;
    }
    unsaved_ = false;
    return true;
}

void SharedCookieJar::AddCookie(const QNetworkCookie& cookie)
{
    if (cookie.domain().isEmpty() || cookie.name().isEmpty())
        return;
    insertCookie(cookie);
    Changed();
}

void SharedCookieJar::RemoveCookie(const QNetworkCookie& cookie)
{
    if (deleteCookie(cookie))
        Changed();
}

void SharedCookieJar::Changed()
{
    unsaved_ = true;
    if (!file_.isEmpty())
        saveSoon_.start();
}
