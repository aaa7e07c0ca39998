#include "FileSaveDialog.h"

#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

FileSaveDialog::FileSaveDialog(QWidget* parent)
    : parent_(parent)
{
}

QString FileSaveDialog::SuggestedFileName(const QDate& date)
{
    return QStringLiteral("淘宝发货信息-%1.csv").arg(date.toString(Qt::ISODate));
}

QString FileSaveDialog::StartFolder()
{
    const QString remembered = GetRegSetting(QString::fromLatin1(kSettingsApp),
        QString::fromLatin1(kSettingsSection), QString::fromLatin1(kExportFolderKey), QString());
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
            ? QDir(StartFolder()).filePath(SuggestedFileName(QDate::currentDate()))
            : lastPath_);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty()) {
        lastPath_ = chosen;
        SaveRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
            QString::fromLatin1(kExportFolderKey), QFileInfo(chosen).absolutePath());
    }
    return chosen;
}
