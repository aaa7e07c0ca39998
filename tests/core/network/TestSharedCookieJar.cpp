#include "core/network/SharedCookieJar.h"
#include "support/ExportTestSupport.h"
#include "support/TestSupport.h"

#include <QNetworkCookie>

namespace {

QNetworkCookie Cookie(const QByteArray& name, const QByteArray& value, const QDateTime& expires = {})
{
    QNetworkCookie cookie(name, value);
    cookie.setDomain(QStringLiteral("127.0.0.1"));
    cookie.setPath(QStringLiteral("/"));
    cookie.setHttpOnly(true);
    if (expires.isValid())
        cookie.setExpirationDate(expires);
    return cookie;
}

QStringList NamesFor(const SharedCookieJar& jar, const QString& url)
{
    QStringList names;
    for (const QNetworkCookie& cookie : jar.cookiesForUrl(QUrl(url)))
        names.append(QString::fromLatin1(cookie.name()));
    names.sort();
    return names;
}

} // namespace

class TestSharedCookieJar : public QObject {
    Q_OBJECT
private slots:
    void keptCookiesComeBackInTheNextRun();
};

void TestSharedCookieJar::keptCookiesComeBackInTheNextRun()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("profile/page-fetch-cookies"));
    {
        SharedCookieJar jar;
        QVERIFY(jar.KeepInFile(path));
        jar.AddCookie(Cookie("session", "s1"));
        jar.AddCookie(Cookie("remember", "r1", QDateTime::currentDateTimeUtc().addDays(30)));
        jar.AddCookie(Cookie("gone", "g1"));
        jar.RemoveCookie(Cookie("gone", "g1"));
        // Written once the changes have been handled, not before.
        QVERIFY(!QFile::exists(path));
        QTRY_VERIFY(QFile::exists(path));
    }
    QCOMPARE(QFile::permissions(path)
            & ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                | QFileDevice::WriteUser),
        QFileDevice::Permissions());

    SharedCookieJar next;
    QVERIFY(next.KeepInFile(path));
    QCOMPARE(NamesFor(next, QStringLiteral("http://127.0.0.1/trade/detail")),
        QStringList({ QStringLiteral("remember"), QStringLiteral("session") }));
    // Still only for the host that set them.
    QVERIFY(NamesFor(next, QStringLiteral("http://localhost/")).isEmpty());
    // A logout in this run is kept too.
    next.RemoveCookie(Cookie("session", "s1"));
    QVERIFY(next.SaveNow());
    SharedCookieJar third;
    QVERIFY(third.KeepInFile(path));
    QCOMPARE(
        NamesFor(third, QStringLiteral("http://127.0.0.1/")), QStringList { QStringLiteral("remember") });

    // Cookies that expired since they were written stay behind.
    QVERIFY(testsupport::WriteFile(path,
        Cookie("old", "o", QDateTime::currentDateTimeUtc().addSecs(-60)).toRawForm() + '\n'
            + Cookie("fresh", "f", QDateTime::currentDateTimeUtc().addSecs(3600)).toRawForm() + '\n'));
    SharedCookieJar fourth;
    QVERIFY(fourth.KeepInFile(path));
    QCOMPARE(NamesFor(fourth, QStringLiteral("http://127.0.0.1/")), QStringList { QStringLiteral("fresh") });

    // A full disk: the change is not reported kept, and the last whole file
    // stays, never one cut off.
    const QByteArray kept = testsupport::ReadFile(path);
    fourth.AddCookie(Cookie("long", QByteArray(kept.size() + 200, 'v')));
    {
        exporttest::FileSizeLimit full(kept.size() + 50);
        if (!full.active())
            QSKIP("cannot limit file sizes here");
        QVERIFY(!fourth.SaveNow());
    }
    QCOMPARE(testsupport::ReadFile(path), kept);
    QVERIFY(fourth.SaveNow()); // room again
}

LUMETRA_TEST_GUILESS_MAIN(TestSharedCookieJar)
#include "TestSharedCookieJar.moc"
