#pragma once
// What the packing bench remembers per parcel, by the parcel's number (its
// slip's barcode): when it was checked (已验) and when its slip was printed
// or saved (已打印). It is kept in a small file of its own beside the
// recovery file, so a restart keeps the marks while the grid, the recovery
// file and the exported sheet stay exactly as they were. Marks older than a
// fortnight are dropped when the file is written: a parcel is packed within
// days.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

enum class ParcelMark { Checked, Printed };

enum class MarksWrite { Written, Failed };

class ParcelMarks {
public:
    // The marks of path, none when it is missing or unreadable (logged).
    explicit ParcelMarks(QString path);

    std::optional<QDateTime> When(ParcelMark mark, const QString& parcel) const;
    // Marks parcels now (or at) and writes the file; a failed write keeps
    // the marks for this run and leaves the old file.
    [[nodiscard]] MarksWrite Mark(ParcelMark mark, const QStringList& parcels, const QDateTime& at);
    // Of parcels, those marked.
    QStringList Marked(ParcelMark mark, const QStringList& parcels) const;

private:
    void Load();
    [[nodiscard]] MarksWrite Write();

    QString path_;
    std::array<QHash<QString, QDateTime>, 2> marks_;
};

// The file of the user's marks: parcel-marks.json in the per-user data folder.
QString DefaultParcelMarksPath();

// How old a mark may grow before it is dropped.
inline constexpr int kParcelMarkDays = 14;
