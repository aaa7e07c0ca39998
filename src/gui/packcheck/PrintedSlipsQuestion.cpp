#include "PrintedSlipsQuestion.h"

#include "core/base/Logging.h"
#include "core/packcheck/ParcelMarks.h"
#include "core/packcheck/PrintedSlips.h"

#include <QMessageBox>
#include <QPushButton>

void PreviewSlipsRemembered(QWidget* parent, const ShippingDocuments& documents, ParcelMarks& marks,
    const std::function<bool(const ShippingDocuments&)>& preview)
{
    const QStringList keys = SlipKeys(documents);
    const QStringList printed = marks.Marked(ParcelMark::Printed, keys);
    ShippingDocuments chosen = documents;
    if (!printed.isEmpty()) {
        const qsizetype others = keys.size() - printed.size();
        QMessageBox box(QMessageBox::Question, QStringLiteral("发货单"),
            QStringLiteral("其中 %1 张发货单已经打印过").arg(printed.size()), QMessageBox::NoButton, parent);
        box.setInformativeText(others > 0 ? QStringLiteral("另有 %1 张还没有打印。").arg(others)
                                          : QStringLiteral("全部发货单都已经打印过。"));
        QPushButton* onlyOthers = others > 0
            ? box.addButton(QStringLiteral("只打印其余 %1 张").arg(others), QMessageBox::AcceptRole)
            : nullptr;
        QPushButton* all = box.addButton(QStringLiteral("全部打印"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(onlyOthers ? onlyOthers : all);
        box.exec();
        if (onlyOthers && box.clickedButton() == onlyOthers)
            chosen = SlipsNotPrinted(documents, printed);
        else if (box.clickedButton() != all)
            return;
    }
    if (!preview(chosen))
        return;
    if (marks.Mark(ParcelMark::Printed, SlipKeys(chosen), QDateTime::currentDateTime())
        != MarksWrite::Written)
        qCWarning(lcCommands) << "printed slips not remembered";
}
