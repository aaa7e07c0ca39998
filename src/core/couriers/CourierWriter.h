#pragma once
// Writes a courier sheet as the couriers' import pages take it: an Excel
// workbook (.xlsx) whose every cell is text (an order number or a phone
// never turns into a number, nothing into a formula), or, for a name ending
// in .csv, GBK CSV. Like the export, the new file replaces an old one only
// once it is complete.

#include "CourierSheet.h"

#include <QString>

enum class CourierWriteStatus {
    Written,
    Refused, // no sheet can go there (an .xls name, a folder, a file another program holds)
    Failed, // writing failed; an earlier file is as it was
};

struct [[nodiscard]] CourierWritten {
    CourierWriteStatus status = CourierWriteStatus::Failed;
    QString reason; // why not written, for the log; empty when written
    QString toTell; // for the seller when not written
    int cutCells = 0; // workbook texts cut at the cell limit
    int beyondGbk = 0; // CSV characters GBK cannot hold, written as "?"

    bool IsWritten() const { return status == CourierWriteStatus::Written; }
};

// Done when a courier sheet can be written at path; else why not, for the
// seller. The import pages take no .xls: such a name is refused.
Done CheckCourierPath(const QString& path);

CourierWritten WriteCourierSheet(const CourierSheet& sheet, const QString& path);
