#include "FileSaveDialog.h"

#include <QFileDialog>

FileSaveDialog::FileSaveDialog(QWidget* parent)
    : parent_(parent)
{
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
    if (!lastPath_.isEmpty())
        dialog.selectFile(lastPath_);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty())
        lastPath_ = chosen;
    return chosen;
}
