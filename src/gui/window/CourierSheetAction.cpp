#include "CourierSheetAction.h"

#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/couriers/CourierExport.h"
#include "core/export/ExportMessages.h"
#include "core/session/CommandSession.h"
#include "core/settings/Settings.h"
#include "gui/dialogs/CourierSheetDialog.h"
#include "gui/dialogs/FileSaveDialog.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

namespace {

void ExportCourierSheetFromWindow(CommandSession& session, QWidget* parent)
{
    std::optional<CourierRequest> request = AskCourierChoices(session.RunSettings(), parent);
    if (!request)
        return;
    UserPrompt& prompt = session.Prompt();
    // The template and the sender are told before a file is asked for.
    const CourierTemplateRead found = FindCourierTemplate(request->templateName, request->templateFolder);
    const QString problem
        = found ? CheckCourierSender(found.value, request->sender).reason : found.reason;
    if (!problem.isEmpty()) {
        prompt.ShowMessage(problem);
        return;
    }
    const QString offered
        = QDir(FileSaveDialog::StartFolder(session.RunSettings()))
              .filePath(SuggestedCourierFileName(request->templateName, QDate::currentDate()));
    request->path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出快递导入表"), offered,
        QStringLiteral("MS Excel工作簿 (*.xlsx);;CSV (逗号分隔)(*.csv)"), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (request->path.isEmpty())
        return;
    if (QFileInfo::exists(request->path) && !prompt.AskYesNo(QString::fromUtf8(kOverwriteQuestionText)))
        return;
    const CommandOutcome collected = session.CollectDocuments({});
    if (!collected.documents)
        return; // another command runs; the button is back once it ends
    const CourierOutcome outcome = ExportCourierSheet(*collected.documents, *request);
    QStringList told = outcome.toTell;
    if (outcome.IsWritten()) {
        // The day's files go together: the next save starts where this went.
        if (const Done stored = session.RunSettings().StoreExportFolder(QFileInfo(request->path).absolutePath());
            !stored)
            qCWarning(lcSettings) << "the export folder was not stored:" << stored.reason;
        told.prepend(QStringLiteral("快递导入表（%1）已写入 %2 个包裹：%3")
                         .arg(request->templateName)
                         .arg(outcome.parcels)
                         .arg(QDir::toNativeSeparators(request->path)));
    }
    prompt.ShowMessage(told.join(u'\n'));
}

} // namespace

void AddCourierSheetAction(QPushButton& exportButton, CommandSession& session, QWidget* parent)
{
    auto* action = new QAction(QStringLiteral("导出快递导入表…"), &exportButton);
    action->setObjectName(QStringLiteral("exportCourierSheet"));
    QObject::connect(action, &QAction::triggered, &exportButton,
        [&session, parent] { ExportCourierSheetFromWindow(session, parent); });
    exportButton.addAction(action);
    exportButton.setContextMenuPolicy(Qt::ActionsContextMenu);
    exportButton.setToolTip(QStringLiteral("导出交易记录（右键：导出快递导入表）"));
}
