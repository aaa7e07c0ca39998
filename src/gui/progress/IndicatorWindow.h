#pragma once
// The progress window as the progress operations drive it. This object lives
// for the whole run and is the view main() gives the run's Progress; the
// window itself (IndicatorForm) exists only while it
// is loaded: created hidden with its design texts by Load(), destroyed by
// Unload() or when the user closes it.

#include "core/progress/ProgressView.h"

#include <QObject>
#include <QPointer>

class IndicatorForm;

class IndicatorWindow : public QObject, public ProgressView {
    Q_OBJECT
public:
    IndicatorWindow();
    ~IndicatorWindow() override;

    bool IsLoaded() const override;
    void Load() override;
    void Show() override;
    void Unload() override;
    void SetMessage(const QString& text) override;
    void SetCounterText(const QString& text) override;
    void SetPercentText(const QString& text) override;
    void SetTimesText(const QString& text) override;
    void ClearBar() override;
    void PaintBar(double fraction) override;

    // The loaded window, nullptr when unloaded.
    IndicatorForm* Form() const { return form_; }

private:
    void OnUserClosed();

    QPointer<IndicatorForm> form_;
};
