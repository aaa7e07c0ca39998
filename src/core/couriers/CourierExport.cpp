#include "CourierExport.h"

#include "core/base/Logging.h"
#include "core/export/ExportMessages.h"

#include <QDate>
#include <QDir>

namespace {

CourierOutcome Refused(const QString& why)
{
    return { CourierWriteStatus::Refused, { why }, why, 0, 0 };
}

} // namespace

CourierTemplateRead CheckCourierRequest(const CourierRequest& request)
{
    CourierTemplateRead found = FindCourierTemplate(request.templateName, request.templateFolder);
    if (!found)
        return found;
    if (const Done sender = CheckCourierSender(found.value, request.sender); !sender)
        return CourierTemplateRead::Failed(sender.reason);
    if (const Done path = CheckCourierPath(request.path); !path)
        return CourierTemplateRead::Failed(path.reason);
    return found;
}

CourierOutcome ExportCourierSheet(const ShippingDocuments& documents, const CourierRequest& request)
{
    const CourierTemplateRead checked = CheckCourierRequest(request);
    if (!checked) {
        qCWarning(lcExport) << "courier sheet refused:" << checked.reason;
        return Refused(checked.reason);
    }
    CourierOutcome outcome { CourierWriteStatus::Written, {}, {}, 0, 0 };
    const CourierSheet sheet = BuildCourierSheet(documents, checked.value, request.sender, request.choices);
    outcome.toTell = CourierSheetMessages(sheet);
    outcome.parcels = int(sheet.rows.size());
    outcome.leftOut = int(sheet.leftOut.size());
    const CourierWritten written = WriteCourierSheet(sheet, request.path);
    outcome.status = written.status;
    outcome.reason = written.reason;
    if (!written.IsWritten()) {
        qCWarning(lcExport) << "courier sheet not written:" << request.path << written.reason;
        outcome.toTell.append(written.toTell);
        return outcome;
    }
    if (written.cutCells > 0)
        outcome.toTell.append(CutCellsMessage(written.cutCells));
    if (written.beyondGbk > 0)
        outcome.toTell.append(BeyondGbkMessage(written.beyondGbk));
    return outcome;
}

QString SuggestedCourierFileName(const QString& templateName, const QDate& date)
{
    return QStringLiteral("快递导入-%1-%2.xlsx").arg(templateName, date.toString(Qt::ISODate));
}
