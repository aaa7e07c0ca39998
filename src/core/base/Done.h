#pragma once
// How a fallible step reports when it hands nothing back: done, or the reason
// it was not. The reason is for the log or standard error; the text a seller
// is shown is made where it is shown. Marked [[nodiscard]]: dropping one is a
// build error in core. A step with more than two ways to end returns its own
// status enum with a reason beside it (FetchResult, ExportResult …).
//
//     if (const Done stored = settings.StoreExportFolder(folder); !stored)
//         qCWarning(lcSettings) << "export folder not kept:" << stored.reason;

#include <QString>
#include <utility>

struct [[nodiscard]] Done {
    QString reason; // empty when done

    static Done Ok() { return {}; }
    // A failure always carries a reason, so an empty one cannot pass for done.
    static Done Failed(QString why)
    {
        return Done { why.isEmpty() ? QStringLiteral("failed without a reason") : std::move(why) };
    }
    bool IsDone() const { return reason.isEmpty(); }
    explicit operator bool() const { return IsDone(); }
};

// The same for a step that hands a value back: the value when done (the
// cells a workbook cut to fit), else the reason and a value-initialised T.
template <typename T> struct [[nodiscard]] DoneWith {
    T value {};
    QString reason; // empty when done

    static DoneWith Ok(T value) { return DoneWith { std::move(value), {} }; }
    static DoneWith Failed(QString why) { return DoneWith { T {}, Done::Failed(std::move(why)).reason }; }
    bool IsDone() const { return reason.isEmpty(); }
    explicit operator bool() const { return IsDone(); }
};
