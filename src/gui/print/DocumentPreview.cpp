#include "DocumentPreview.h"

#include "core/base/Logging.h"
#include "core/print/ShippingDocuments.h"
#include "core/settings/Settings.h"
#include "gui/dialogs/FileSaveDialog.h"
#include "print/DocumentPainting.h"
#include "print/PdfDocumentPrinter.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace {

constexpr qint64 kEventsEveryMs = 50;

} // namespace

QString SuggestedPdfPath(const Settings& settings, ShippingDocument which, const QDate& date)
{
    return QDir(FileSaveDialog::StartFolder(settings))
        .filePath(QStringLiteral("%1-%2.pdf").arg(DocumentName(which), date.toString(Qt::ISODate)));
}

QString SaveDocumentPdf(QWidget* parent, const ShippingDocuments& documents, ShippingDocument which,
    SlipPaper paper, Settings& settings)
{
    QFileDialog dialog(parent, QStringLiteral("保存为PDF"), QString(), QStringLiteral("PDF 文件 (*.pdf)"));
    dialog.setObjectName(QStringLiteral("savePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(SuggestedPdfPath(settings, which, documents.date));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty())
        return QString();
    PdfDocumentPrinter pdf;
    const DocumentWritten written = pdf.WritePdf(documents, which, paper, path);
    if (!written.IsWritten()) {
        QMessageBox::warning(parent, DocumentName(which), written.toTell);
        return QString();
    }
    // The documents go where the day's sheet went; the next save starts there.
    if (!settings.StoreExportFolder(QFileInfo(path).absolutePath()))
        qCWarning(lcSettings) << "the export folder was not stored";
    QMessageBox::information(parent, DocumentName(which),
        QStringLiteral("%1已保存为PDF（%2 页）：\n%3")
            .arg(DocumentName(which))
            .arg(written.pages)
            .arg(QDir::toNativeSeparators(path)));
    return path;
}

bool ShowDocumentPreview(
    QWidget* parent, const ShippingDocuments& documents, ShippingDocument which, Settings& settings)
{
    bool saved = false;
    const SlipPaper paper = settings.PackingSlipPaper();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(DocumentName(which));
    SetUpDocumentPages(printer, which, paper);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("%1 - 打印预览").arg(DocumentName(which)));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        SetUpDocumentPages(*target, which, paper);
        // A file is not shifted; a printer by what is stored for it.
        const QPointF offset = target->outputFormat() == QPrinter::NativeFormat
            ? settings.PrinterOffset(target->printerName())
            : QPointF();
        // Thousands of slips take seconds: the windows repaint meanwhile.
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        const auto letEventsThrough = [&] {
            if (sinceEvents.elapsed() < kEventsEveryMs)
                return;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceEvents.restart();
        };
        if (PaintShippingDocument(*target, documents, which, paper, offset, letEventsThrough) > 0)
            return;
        qCWarning(lcCommands) << "pages not painted on" << target->printerName() << target->outputFileName();
        if (target->outputFormat() == QPrinter::NativeFormat || !target->outputFileName().isEmpty())
            QMessageBox::warning(&preview, DocumentName(which),
                QStringLiteral("无法打印到“%1”，请检查打印机或文件。")
                    .arg(target->outputFileName().isEmpty() ? target->printerName() : target->outputFileName()));
    });
    if (auto* toolBar = preview.findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* save = toolBar->addAction(QStringLiteral("保存为PDF"));
        save->setObjectName(QStringLiteral("saveAsPdf"));
        QObject::connect(save, &QAction::triggered, &preview,
            [&] { saved = !SaveDocumentPdf(&preview, documents, which, paper, settings).isEmpty() || saved; });
    }
    // The dialog is accepted once its pages went to a printer.
    const bool printed = preview.exec() == QDialog::Accepted;
    return printed || saved;
}
