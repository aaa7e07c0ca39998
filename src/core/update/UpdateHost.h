#pragma once
// What the update check needs from the program around it. The defaults
// describe the running program; the main window supplies its caption and
// the way it ends, tests replace the directory and the ending.

#include <QString>

class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    // The main window's caption; the local version is read from it.
    virtual QString CaptionText() const = 0;
    // Folder of the program file (the data file and the update program sit there).
    virtual QString ProgramDirectory() const;
    // File name of the program, e.g. "lumetra-trades" or "tool.exe".
    virtual QString ProgramFileName() const;
    // A message box with an OK button.
    virtual void TellUser(const QString& text) = 0;
    // Ends the program at once; the check returns right after this call.
    virtual void EndProgram();
};
