#include "ParcelMarks.h"

#include "core/base/Logging.h"
#include "core/base/OwnerOnly.h"
#include "core/base/WholeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

const char* const kMarkKeys[2] = { "checked", "printed" };

} // namespace

QString DefaultParcelMarksPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/parcel-marks.json");
}

ParcelMarks::ParcelMarks(QString path)
    : path_(std::move(path))
{
    Load();
}

void ParcelMarks::Load()
{
    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCommands) << "parcel marks not read:" << file.errorString();
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        qCWarning(lcCommands) << "parcel marks unreadable, started anew:" << error.errorString();
        return;
    }
    for (int kind = 0; kind < 2; ++kind) {
        marks_[kind].clear();
        const QJsonObject marks = document.object().value(QLatin1String(kMarkKeys[kind])).toObject();
        for (auto it = marks.begin(); it != marks.end(); ++it)
            if (const QDateTime at = QDateTime::fromString(it.value().toString(), Qt::ISODate); at.isValid())
                marks_[kind].insert(it.key(), at);
    }
}

std::optional<QDateTime> ParcelMarks::When(ParcelMark mark, const QString& parcel) const
{
    const auto found = marks_[int(mark)].constFind(parcel);
    if (found == marks_[int(mark)].cend())
        return std::nullopt;
    return *found;
}

MarksWrite ParcelMarks::Mark(ParcelMark mark, const QStringList& parcels, const QDateTime& at)
{
    // Another window of the run (the 验货 window, the print command) may
    // have written marks since: they are kept.
    const auto kept = marks_;
    Load();
    for (int kind = 0; kind < 2; ++kind)
        for (auto it = kept[kind].cbegin(); it != kept[kind].cend(); ++it)
            if (!marks_[kind].contains(it.key()))
                marks_[kind].insert(it.key(), it.value());
    for (const QString& parcel : parcels)
        if (!parcel.isEmpty())
            marks_[int(mark)].insert(parcel, at);
    return Write();
}

QStringList ParcelMarks::Marked(ParcelMark mark, const QStringList& parcels) const
{
    QStringList marked;
    for (const QString& parcel : parcels)
        if (marks_[int(mark)].contains(parcel))
            marked.append(parcel);
    return marked;
}

MarksWrite ParcelMarks::Write()
{
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kParcelMarkDays);
    QJsonObject root;
    for (int kind = 0; kind < 2; ++kind) {
        QJsonObject marks;
        for (auto it = marks_[kind].begin(); it != marks_[kind].end();) {
            if (it.value() < oldest) {
                it = marks_[kind].erase(it);
                continue;
            }
            marks.insert(it.key(), it.value().toString(Qt::ISODate));
            ++it;
        }
        root.insert(QLatin1String(kMarkKeys[kind]), marks);
    }
    const QString folder = QFileInfo(path_).absolutePath();
    // Owner-only from its first byte: the file names the seller's orders.
    const Done written = !MakeOwnerOnlyFolder(folder)
        ? Done::Failed(QStringLiteral("no owner-only folder ") + folder)
        : WriteFileWhole(path_, QJsonDocument(root).toJson(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!written) {
        qCWarning(lcCommands) << "parcel marks not written to" << path_ << written.reason;
        return MarksWrite::Failed;
    }
    return MarksWrite::Written;
}
