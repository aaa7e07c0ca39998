#pragma once
#include <QString>
#include <QStringList>

// The save-file dialog as the export command uses it. The GUI shows a
// QFileDialog; tests script the answers.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    // Shows the dialog for saving with these filter entries ("description
    // (*.ext)"), the first preselected, offering the name last chosen in it.
    // Returns the chosen path, or an empty text when the user cancelled.
    virtual QString AskSavePath(const QStringList& filters) = 0;
};
