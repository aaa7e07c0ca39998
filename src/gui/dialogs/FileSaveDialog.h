#pragma once
#include "core/export/SaveDialog.h"

#include <QDate>
#include <QPointer>

class QCheckBox;
class QFileDialog;
class QWidget;
class Settings;

// The save dialog of the export command on a QFileDialog. The program's own
// overwrite question follows, so the dialog asks none; no suffix is added;
// the name chosen last during this run is offered again. Before the first
// choice of a run it offers a dated sheet name in the folder of the last
// export (kept in the settings across runs), else in the user's documents
// folder. A check box under the name, "导出留言和备注", stored when the
// seller saves, adds the buyer's message and the seller's memo to the sheet.
class FileSaveDialog : public SaveDialog {
public:
    // settings is not owned and must outlive the dialog.
    explicit FileSaveDialog(Settings& settings, QWidget* parent = nullptr);
    QString AskSavePath(const QStringList& filters) override;

    // The name the next AskSavePath offers; empty before the first choice.
    QString LastChosenPath() const { return lastPath_; }

    // "淘宝发货信息-2026-12-07.csv"
    static QString SuggestedFileName(const QDate& date);
    // Where the first dialog of a run opens: the remembered export folder
    // while it exists, else the documents folder (the home folder when the
    // platform names none).
    static QString StartFolder(const Settings& settings);

private:
    // The export-notes box in Qt's own file dialog; null when the dialog
    // has no layout to take it.
    QCheckBox* AddExportNotesBox(QFileDialog& dialog);

    Settings& settings_;
    QPointer<QWidget> parent_;
    QString lastPath_;
};
