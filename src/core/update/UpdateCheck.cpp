#include "UpdateCheck.h"

#include "UpdateCheckState.h"
#include "UpdateHost.h"
#include "core/base/Logging.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/text/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

void ResetUpdateCheck(UpdateCheckState& state)
{
    state.Reset();
}

QString LocalVersionFromCaption(const QString& caption)
{
    QString version;
    for (const QChar c : caption)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.'))
            version.append(c);
    return version;
}

QString PublishedVersionFromPage(QString page)
{
    CutAtMarker(page, QStringLiteral("<title>"), true);
    CutAtMarker(page, QStringLiteral("("), true);
    return NumberText(LeadingNumber(page));
}

QString BackupTargetPath(const QString& dir)
{
    QString target;
    for (int counter = 0; counter <= 1000; ++counter) {
        target = QDir(dir).filePath(QStringLiteral("BAK_data%1.DAT").arg(counter, 3, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(target))
            break;
    }
    return target;
}

QString UpdateProgramPath(const QString& dir)
{
#ifdef Q_OS_WIN
    return QDir(dir).filePath(QStringLiteral("update.exe"));
#else
    return QDir(dir).filePath(QStringLiteral("update"));
#endif
}

QStringList UpdateProgramArguments(const QString& programFileName)
{
#ifdef Q_OS_WIN
    const QString name = QFileInfo(programFileName).completeBaseName() + QStringLiteral(".exe");
#else
    const QString name = programFileName;
#endif
    return { QStringLiteral("QV09.rar|") + name };
}

namespace {

void BackUpDataFile(const QString& dir)
{
    const QString source = QDir(dir).filePath(QStringLiteral("data.mdb"));
    if (!QFileInfo::exists(source))
        return;
    const QString target = BackupTargetPath(dir);
    // All names taken: the last one is overwritten.
    if (QFileInfo::exists(target))
        QFile::remove(target);
    QFile::copy(source, target);
}

} // namespace

QString CheckForUpdate(UpdateCheckState& state, PageFetcher& fetcher, const QString& updateUrl,
    UpdateHost& host, int productNumber)
{
    if (state.CurrentStage() != UpdateCheckState::Stage::NotRun)
        return {};
    // Set before waiting: a second call meanwhile returns at once.
    state.Start();

    const QString localVersion = LocalVersionFromCaption(host.CaptionText());
    const FetchResult fetched = fetcher.FetchPage(
        updateUrl + QString::number(productNumber), QStringLiteral("</title>"), kUpdatePageTimeoutSeconds);
    // A page without its title still names no version: nothing is done.
    if (!fetched.Arrived())
        qCInfo(lcUpdate) << "the download page did not arrive whole";
    const QString published = PublishedVersionFromPage(fetched.body.value_or(QString()));

    const double publishedNumber = LeadingNumber(published);
    const double localNumber = LeadingNumber(localVersion);
    if (publishedNumber == 0 || localNumber == 0)
        return {};

    if (publishedNumber > localNumber) {
        const QString dir = host.ProgramDirectory();
        BackUpDataFile(dir);
        host.TellUser(QString::fromUtf8(kUpgradeMessage));
        const QString program = UpdateProgramPath(dir);
        // An argument list, never a shell: the names are passed as they are.
        if (QProcess::startDetached(program, UpdateProgramArguments(host.ProgramFileName()), dir)) {
            host.EndProgram();
        } else {
            host.TellUser(QString::fromUtf8(kUpgradeStartFailed));
        }
        return {};
    }

    state.FoundNotNewer(published);
    return published;
}
