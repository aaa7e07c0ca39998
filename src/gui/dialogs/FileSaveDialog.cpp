#include "FileSaveDialog.h"

#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
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

QCheckBox* FileSaveDialog::AddExportNotesBox(QFileDialog& dialog)
{
    // Qt's own dialog, so the choice sits under the file name where the
    // seller picks the file; a platform dialog takes no widgets of ours.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) {
        qCWarning(lcExport) << "the save dialog has no room for the export-notes box";
        return nullptr;
    }
    auto* box = new QCheckBox(QStringLiteral("导出留言和备注"), &dialog);
    box->setObjectName(QStringLiteral("exportNotes"));
    box->setToolTip(QStringLiteral("在表格最后加上买家留言和卖家备注两列"));
    box->setChecked(settings_.ExportNotes());
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    return box;
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
    QCheckBox* notes = AddExportNotesBox(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty()) {
        lastPath_ = chosen;
        if (notes && notes->isChecked() != settings_.ExportNotes()
            && !settings_.StoreExportNotes(notes->isChecked()))
            qCWarning(lcSettings) << "the export-notes choice was not stored";
        // Only where the next run's dialog opens depends on it.
        if (!settings_.StoreExportFolder(QFileInfo(chosen).absolutePath()))
            qCWarning(lcSettings) << "the export folder was not stored";
    }
    return chosen;
}
