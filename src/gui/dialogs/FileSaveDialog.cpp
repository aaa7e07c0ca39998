#include "FileSaveDialog.h"

#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

FileSaveDialog::FileSaveDialog(Settings& settings, QWidget* parent)
    : settings_(settings)
    , parent_(parent)
{
}

QString FileSaveDialog::SuggestedFileName(const QDate& date)
{
    return QStringLiteral("淘宝发货信息-%1.csv").arg(date.toString(Qt::ISODate));
}

QString FileSaveDialog::StartFolder(const Settings& settings)
{
    const QString remembered = settings.ExportFolder();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString FileSaveDialog::AskSavePath(const QStringList& filters)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.selectFile(lastPath_.isEmpty()
            ? QDir(StartFolder(settings_)).filePath(SuggestedFileName(QDate::currentDate()))
            : lastPath_);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty()) {
        lastPath_ = chosen;
        // Only where the next run's dialog opens depends on it.
        if (!settings_.StoreExportFolder(QFileInfo(chosen).absolutePath()))
            qCWarning(lcSettings) << "the export folder was not stored";
    }
    return chosen;
}
