#pragma once
#include "ProgressView.h"

#include <QStringList>

// Keeps the window's state in memory and counts what happened to it.
class RecordingProgressView : public ProgressView {
public:
    bool IsLoaded() const override { return loaded; }
    void Load() override;
    void Show() override;
    void Unload() override;
    void SetMessage(const QString& text) override { message = text; }
    void SetCounterText(const QString& text) override { counter = text; }
    void SetPercentText(const QString& text) override
    {
        percent = text;
        percentHistory.append(text);
    }
    void SetTimesText(const QString& text) override { times = text; }
    void ClearBar() override { bar = 0; }
    void PaintBar(double fraction) override;

    // As if the user closed the window.
    void UserCloses();

    bool loaded = false;
    bool shown = false;
    QString message;
    QString counter;
    QString percent;
    QString times;
    double bar = 0;
    QStringList percentHistory;
    int loads = 0;
    int shows = 0;
    int unloads = 0;
    int paints = 0;
};
