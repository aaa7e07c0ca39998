#include "PdfDocumentPrinter.h"

#include "DocumentPainting.h"
#include "core/base/FileReplace.h"
#include "core/base/Logging.h"
#include "core/base/SaveTargetText.h"
#include "core/print/ShippingDocuments.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>

namespace {

// Fine enough for print, small enough for the coordinates.
constexpr int kPdfDotsPerInch = 300;

DocumentWritten NotWritten(DocumentStatus status, const QString& toTell)
{
    DocumentWritten failed;
    failed.status = status;
    failed.toTell = toTell;
    return failed;
}

} // namespace

DocumentWritten PdfDocumentPrinter::WritePdf(
    const ShippingDocuments& documents, ShippingDocument which, SlipPaper paper, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Asked before thousands of pages are painted in vain.
    if (const QString problem = SaveTargetProblemText(CheckSaveTarget(path), shown); !problem.isEmpty())
        return NotWritten(DocumentStatus::Refused, problem);
    // The pages are made in memory and the file replaced once they are
    // whole, as an export replaces its file: a full disk or a refused
    // folder leaves an earlier file as it was.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfDotsPerInch);
        writer.setCreator(QStringLiteral("Lumetra Trades"));
        writer.setTitle(DocumentName(which));
        SetUpDocumentPages(writer, which, paper);
        pages = PaintShippingDocument(writer, documents, which, paper);
    }
    if (pages == 0)
        return NotWritten(DocumentStatus::Failed, QStringLiteral("%1 没有写入：页面无法生成。").arg(shown));
    if (!ReplaceFileContents(path, pdf.data())) {
        qCWarning(lcExport) << "writing" << path << "failed";
        return NotWritten(
            DocumentStatus::Failed, QStringLiteral("写入 %1 失败，原有文件保持不变。").arg(shown));
    }
    DocumentWritten written;
    written.status = DocumentStatus::Written;
    written.pages = pages;
    return written;
}
