#include "PrintButton.h"

#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrinterInfo>

PrintButton::PrintButton(std::function<void(ShippingDocument, bool)> print, Settings& settings, QWidget* parent)
    : QPushButton(QStringLiteral("打印"), parent)
    , print_(std::move(print))
    , settings_(settings)
{
    setToolTip(QStringLiteral("打印拣货单或发货单，或保存为PDF"));
    auto* menu = new QMenu(this);
    setMenu(menu);
    AddDocument(ShippingDocument::PickingList);
    AddDocument(ShippingDocument::PackingSlips);
    menu->addSeparator();

    QMenu* paperMenu = menu->addMenu(QStringLiteral("发货单纸张"));
    auto* papers = new QActionGroup(paperMenu);
    const SlipPaper stored = settings_.PackingSlipPaper();
    for (const auto& [paper, caption] : { std::pair { SlipPaper::A5, "A5（一张 A4 纸打两张）" },
             std::pair { SlipPaper::Label100x150, "100 × 150 mm 标签" },
             std::pair { SlipPaper::Label76x130, "76 × 130 mm 标签（一联面单）" } }) {
        QAction* action = paperMenu->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        action->setChecked(paper == stored);
        papers->addAction(action);
        connect(action, &QAction::triggered, this, [this, paper] {
            if (!settings_.StorePackingSlipPaper(paper))
                qCWarning(lcSettings) << "slip paper not stored";
        });
    }
    // The slip goes into the parcel; the seller's memo is the packer's and
    // stays on the picking list unless the seller wants it on the slip too.
    QAction* memo = menu->addAction(QStringLiteral("发货单打印卖家备注"));
    memo->setObjectName(QStringLiteral("slipMemo"));
    memo->setCheckable(true);
    memo->setChecked(settings_.SlipMemo());
    connect(memo, &QAction::toggled, this, [this](bool on) {
        if (!settings_.StoreSlipMemo(on))
            qCWarning(lcSettings) << "the slip-memo choice was not stored";
    });
    menu->addAction(QStringLiteral("打印机偏移…"), this, &PrintButton::AskPrinterOffset);
}

void PrintButton::AddDocument(ShippingDocument which)
{
    QMenu* target = menu();
    const QString name = DocumentName(which);
    target->addAction(QStringLiteral("%1（全部待发货）…").arg(name), this, [this, which] { print_(which, false); });
    target->addAction(QStringLiteral("%1（选中的记录）…").arg(name), this, [this, which] { print_(which, true); });
}

void PrintButton::AskPrinterOffset()
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) {
        QMessageBox::information(this, QStringLiteral("打印机偏移"), QStringLiteral("没有找到打印机。"));
        return;
    }
    bool ok = false;
    const QString printer = QInputDialog::getItem(this, QStringLiteral("打印机偏移"), QStringLiteral("打印机："),
        printers, int(std::max(qsizetype(0), printers.indexOf(QPrinterInfo::defaultPrinterName()))), false, &ok);
    if (!ok)
        return;
    const QPointF now = settings_.PrinterOffset(printer);
    const double right = QInputDialog::getDouble(this, QStringLiteral("打印机偏移"),
        QStringLiteral("向右移动（毫米，负数向左）："), now.x(), -50, 50, 1, &ok);
    if (!ok)
        return;
    const double down = QInputDialog::getDouble(this, QStringLiteral("打印机偏移"),
        QStringLiteral("向下移动（毫米，负数向上）："), now.y(), -50, 50, 1, &ok);
    if (ok && !settings_.StorePrinterOffset(printer, QPointF(right, down)))
        QMessageBox::warning(this, QStringLiteral("打印机偏移"), QStringLiteral("偏移没有保存。"));
}
