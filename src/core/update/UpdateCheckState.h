#pragma once
// Where the run's one update check stands. The check runs once after each
// reset; a second call while it waits, or after it, does nothing.

#include <QString>

class UpdateCheckState {
public:
    enum class Stage {
        NotRun, // never run, or reset since
        Started, // running, or ended without a usable version (no page, no number)
        NotNewer, // the published version is not newer than the local one
    };

    Stage CurrentStage() const { return stage_; }
    // The version the download page published; empty before NotNewer.
    const QString& PublishedVersion() const { return published_; }

    void Reset() { *this = UpdateCheckState(); }
    void Start() { stage_ = Stage::Started; }
    void FoundNotNewer(const QString& published)
    {
        stage_ = Stage::NotNewer;
        published_ = published;
    }

private:
    Stage stage_ = Stage::NotRun;
    QString published_;
};
