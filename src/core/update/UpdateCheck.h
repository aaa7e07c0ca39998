#pragma once
// Once per run: compare the version in the main window's caption with the
// one the maker's download page publishes, and hand over to the update
// program when a newer one exists.

#include <QString>
#include <QStringList>

class PageFetcher;
class UpdateCheckState;
class UpdateHost;

inline const char* const kUpgradeMessage = "本软件已升级，启动自动升级...";
inline const char* const kUpgradeStartFailed = "无法启动自动升级程序，请稍后手动升级。";
inline constexpr int kUpdatePageTimeoutSeconds = 120;

// Forgets the run's earlier check, so the next CheckForUpdate runs.
void ResetUpdateCheck(UpdateCheckState& state);

// Runs the check once after each ResetUpdateCheck of state, fetching
// updateUrl and the product number through fetcher. Returns the published
// version text when it is not newer than the local one, "" otherwise.
// When it is newer: backs up data.mdb, tells the user, starts the update
// program beside the program and ends the program through the host. If the
// update program cannot be started the user is told and the program runs on.
QString CheckForUpdate(UpdateCheckState& state, PageFetcher& fetcher, const QString& updateUrl,
    UpdateHost& host, int productNumber);

// The pieces of the check.
QString LocalVersionFromCaption(const QString& caption); // digits and dots only
QString PublishedVersionFromPage(QString page); // after "<title>" and "("
// The first of BAK_data000.DAT … BAK_data1000.DAT in dir that does not
// exist; the last one when all exist.
QString BackupTargetPath(const QString& dir);
QString UpdateProgramPath(const QString& dir);
// The single argument: "QV09.rar|" and the program's file name (on Windows
// its base name with ".exe").
QStringList UpdateProgramArguments(const QString& programFileName);
