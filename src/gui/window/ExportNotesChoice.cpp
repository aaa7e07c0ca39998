#include "ExportNotesChoice.h"

#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QAction>
#include <QPushButton>

void AddExportNotesChoice(QPushButton& exportButton, Settings& settings)
{
    auto* choice = new QAction(QStringLiteral("导出留言和备注"), &exportButton);
    choice->setObjectName(QStringLiteral("exportNotes"));
    choice->setCheckable(true);
    choice->setChecked(settings.ExportNotes());
    QObject::connect(choice, &QAction::toggled, &exportButton, [&settings](bool on) {
        if (!settings.StoreExportNotes(on))
            qCWarning(lcSettings) << "the export-notes choice was not stored";
    });
    exportButton.addAction(choice);
    exportButton.setContextMenuPolicy(Qt::ActionsContextMenu);
    exportButton.setToolTip(QStringLiteral("导出交易记录（右键：导出留言和备注）"));
}
