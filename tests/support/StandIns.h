#pragma once
// The stand-ins tests put at the logic's seams, each defined once: a prompt
// that records what the user is told and answers questions from a script, a
// page served from strings, a save dialog that answers with scripted paths,
// and an update host that records what it is asked to do.

#include "core/base/UserPrompt.h"
#include "core/export/SaveDialog.h"
#include "core/network/BrowserPage.h"
#include "core/update/UpdateHost.h"

#include <QStringList>
#include <functional>

namespace standin {

// Records every message and question. Questions are answered with `answer`.
// Installed as the user prompt from construction to destruction.
class RecordingPrompt : public UserPrompt {
public:
    explicit RecordingPrompt(bool answerYes = false);
    RecordingPrompt(const RecordingPrompt&) = delete;
    RecordingPrompt& operator=(const RecordingPrompt&) = delete;
    // Forgets what was told and asked.
    void Clear();
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;

    bool answer;
    QStringList messages;
    QStringList questions;
};

// The page the browser would show, fed from strings: `table` is the inner
// HTML of "J_ListTable", `body` the body. A link search is answered by
// `findLink` (no link by default) and every search is recorded.
class ScriptedPage : public BrowserPage {
public:
    using LinkAnswer = std::function<QString(const QString& linkText, bool click, const QString& tagName)>;

    QString table;
    QString body;
    LinkAnswer findLink;

    // "<linkText>|<tagName>" of every search, and how many asked to click.
    QStringList linkQueries;
    int clicks = 0;
    bool lastClick = false;

    QString ElementInnerHtml(const QString& id) override;
    QString BodyHtml() override { return body; }
    QString FindLinkInPage(const QString& linkText, bool click, const QString& tagName) override;
    void ScrollBy(int, int) override { }
};

// Answers each question for a path with the next of `answers`, then with
// `path` ("" stands for a cancelled dialog); keeps the filters it offered.
class ScriptedSaveDialog : public SaveDialog {
public:
    explicit ScriptedSaveDialog(QString path = QString());
    QString AskSavePath(const QStringList& filters) override;

    QString path;
    QStringList answers;
    QStringList offered;
    int asked = 0;
};

// Records what the update check tells the user and whether it ends the
// program; the caption comes from `caption` (the window's title, say).
class RecordingUpdateHost : public UpdateHost {
public:
    RecordingUpdateHost(QString programDirectory, std::function<QString()> caption);
    QString CaptionText() const override { return caption_(); }
    QString ProgramDirectory() const override { return directory_; }
    QString ProgramFileName() const override { return QStringLiteral("lumetra-trades"); }
    void TellUser(const QString& text) override { messages << text; }
    void EndProgram() override { ++ends; }

    QStringList messages;
    int ends = 0;

private:
    QString directory_;
    std::function<QString()> caption_;
};

} // namespace standin
