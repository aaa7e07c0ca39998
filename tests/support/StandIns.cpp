#include "StandIns.h"

namespace standin {

RecordingPrompt::RecordingPrompt(bool answerYes)
    : answer(answerYes)
{
}

void RecordingPrompt::Clear()
{
    messages.clear();
    questions.clear();
}

void RecordingPrompt::ShowMessage(const QString& text)
{
    messages.append(text);
}

bool RecordingPrompt::AskYesNo(const QString& text)
{
    questions.append(text);
    return answer;
}

QString ScriptedPage::ElementInnerHtml(const QString& id)
{
    return id == QLatin1String("J_ListTable") ? table : QString();
}

QString ScriptedPage::FindLinkInPage(const QString& linkText, bool click, const QString& tagName)
{
    linkQueries.append(linkText + QLatin1Char('|') + tagName);
    lastClick = click;
    const QString href = findLink ? findLink(linkText, click, tagName) : QString();
    if (click && !href.isEmpty())
        ++clicks;
    return href;
}

ScriptedSaveDialog::ScriptedSaveDialog(QString path)
    : path(std::move(path))
{
}

QString ScriptedSaveDialog::AskSavePath(const QStringList& filters)
{
    offered = filters;
    ++asked;
    return answers.isEmpty() ? path : answers.takeFirst();
}

RecordingUpdateHost::RecordingUpdateHost(QString programDirectory, std::function<QString()> caption)
    : directory_(std::move(programDirectory))
    , caption_(std::move(caption))
{
}

} // namespace standin
