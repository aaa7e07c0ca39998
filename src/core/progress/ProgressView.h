#pragma once
// The progress window as the progress operations see it. The GUI's
// Indicator window implements it; RecordingProgressView keeps everything in
// memory for tests and for runs without a window.

#include <QString>
#include <functional>

class ProgressView {
public:
    virtual ~ProgressView() = default;
    // Who hears that the user closed the window (a request to stop).
    void OnUserStop(std::function<void()> listener) { userStop_ = std::move(listener); }
    // Loaded means the window exists (shown or hidden). Load() creates it
    // hidden with its design texts when it is not loaded.
    virtual bool IsLoaded() const = 0;
    virtual void Load() = 0;
    virtual void Show() = 0;
    virtual void Unload() = 0;
    virtual void SetMessage(const QString& text) = 0; // LBL
    virtual void SetCounterText(const QString& text) = 0; // L1
    virtual void SetPercentText(const QString& text) = 0; // Percent
    virtual void SetTimesText(const QString& text) = 0; // L2
    virtual void ClearBar() = 0;
    // Fills the bar from the left up to fraction of its width (clipped at 1);
    // earlier painting stays, so the filled area only grows.
    virtual void PaintBar(double fraction) = 0;

protected:
    // The window was closed by the user, not by the program.
    void ReportUserStop()
    {
        if (userStop_)
            userStop_();
    }

private:
    std::function<void()> userStop_;
};
