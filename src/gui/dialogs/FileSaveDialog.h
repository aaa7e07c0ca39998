#pragma once
#include "core/export/SaveDialog.h"

#include <QPointer>

class QWidget;

// The save dialog of the export command on a QFileDialog. The program's own
// overwrite question follows, so the dialog asks none; no suffix is added;
// the name chosen last during this run is offered again.
class FileSaveDialog : public SaveDialog {
public:
    explicit FileSaveDialog(QWidget* parent = nullptr);
    QString AskSavePath(const QStringList& filters) override;

    // The name the next AskSavePath offers; empty before the first choice.
    QString LastChosenPath() const { return lastPath_; }

private:
    QPointer<QWidget> parent_;
    QString lastPath_;
};
