#pragma once
// The settings a run works with, read from the store once, when the object
// is made, and asked for by typed keys instead of key texts at every call
// site. A change is stored at once and kept here, so later reads see it.
// The keys and texts are those the store has always held, so a settings
// file of an earlier version reads as it did.

#include <QHash>
#include <QString>
#include <optional>

class Settings {
public:
    // Every key below, read from the store now.
    static Settings Read();

    // "DetailDownloads" as stored: empty when nothing is stored.
    QString DetailDownloadsText() const { return Text(kDetailDownloads); }
    // "DetailHistory": true unless it holds 0.
    bool DetailHistory() const;
    // "CHK_<index>": the box value the stored text asks for, none when it
    // asks for none (CheckBoxValueFromText).
    std::optional<int> CheckBox(int index) const;
    // A layout key ("Split_Top_<n>"): its text, or defaultText when none.
    QString LayoutText(const QString& key, const QString& defaultText) const;
    // "Window_Place": the window's last placement; empty when none.
    QString WindowPlacement() const { return Text(kWindowPlacement); }
    // "Export_Dir": the folder of the last export; empty when none.
    QString ExportFolder() const { return Text(kExportFolder); }

    // Each stores at once; false when the store refused the write.
    [[nodiscard]] bool StoreCheckBox(int index, bool checked);
    [[nodiscard]] bool StoreLayoutText(const QString& key, const QString& text);
    [[nodiscard]] bool StoreWindowPlacement(const QString& text) { return Store(kWindowPlacement, text); }
    [[nodiscard]] bool StoreExportFolder(const QString& folder) { return Store(kExportFolder, folder); }

    static constexpr const char* kDetailDownloads = "DetailDownloads";
    static constexpr const char* kDetailHistory = "DetailHistory";
    static constexpr const char* kWindowPlacement = "Window_Place";
    static constexpr const char* kExportFolder = "Export_Dir";

private:
    QString Text(const char* key) const { return texts_.value(QString::fromLatin1(key)); }
    bool Store(const QString& key, const QString& text);
    bool Store(const char* key, const QString& text) { return Store(QString::fromLatin1(key), text); }

    QHash<QString, QString> texts_;
};
