#include "SharedCookieJar.h"

#include "core/base/Logging.h"
#include "core/base/WholeFileWrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>

SharedCookieJar::SharedCookieJar(QObject* parent)
    : QNetworkCookieJar(parent)
{
    // Pages set many cookies at once; one write covers them all.
    saveSoon_.setSingleShot(true);
    saveSoon_.setInterval(0);
    // A write that fails is logged in SaveNow and tried again on the next change.
    connect(&saveSoon_, &QTimer::timeout, this, [this] { (void)SaveNow(); });
}

Done SharedCookieJar::KeepInFile(const QString& path)
{
    file_ = path;
    QFile in(path);
    if (!in.exists())
        return Done::Ok();
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcWeb) << "cannot read the kept cookies" << path << in.errorString();
        return Done::Failed(in.errorString());
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    while (!in.atEnd()) {
        for (const QNetworkCookie& cookie : QNetworkCookie::parseCookies(in.readLine().trimmed())) {
            if (cookie.isSessionCookie() || cookie.expirationDate() > now)
                insertCookie(cookie);
        }
    }
    return Done::Ok();
}

Done SharedCookieJar::SaveNow()
{
    saveSoon_.stop();
    if (!unsaved_ || file_.isEmpty())
        return Done::Ok();
    QDir().mkpath(QFileInfo(file_).absolutePath());
    QByteArray bytes;
    for (const QNetworkCookie& cookie : allCookies())
        bytes += cookie.toRawForm(QNetworkCookie::Full) + '\n';
    // The session cookies are as secret as a password: only the user reads
    // them. A full disk leaves the last whole file, never a cut-off one.
    Done kept = WriteFileWhole(file_, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!kept) {
        qCWarning(lcWeb) << "cannot keep the cookies in" << file_ << kept.reason;
        return kept;
    }
    unsaved_ = false;
    return Done::Ok();
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
