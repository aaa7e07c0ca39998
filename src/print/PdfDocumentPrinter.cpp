#include "PdfDocumentPrinter.h"

#include "DocumentPainting.h"
#include "core/base/Logging.h"
#include "core/documents/ShippingDocuments.h"

#include <QDir>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

// Fine enough for print, small enough for the coordinates.
constexpr int kPdfDotsPerInch = 300;

DocumentWritten Failed(const QString& reason)
{
    DocumentWritten failed;
    failed.reason = reason;
    return failed;
}

} // namespace

DocumentWritten PdfDocumentPrinter::WritePdf(
    const ShippingDocuments& documents, ShippingDocument which, SlipPaper paper, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (documents.NothingToShip())
        return Failed(QStringLiteral("没有待发货的交易，%1 没有写入。").arg(shown));
    // The file is written beside its place and takes it only when whole:
    // a full disk or a refused folder leaves an earlier file as it was.
    QSaveFile file(path);
    // Unbuffered: a write the disk refuses fails where it happens; a
    // buffered one could be lost in a flush that reports nothing, and the
    // commit would put a cut-off file in the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qCWarning(lcExport) << "cannot write" << path << file.errorString();
        return Failed(QStringLiteral("无法写入 %1：%2").arg(shown, file.errorString()));
    }
    QPdfWriter writer(&file);
    writer.setResolution(kPdfDotsPerInch);
    writer.setCreator(QStringLiteral("Lumetra Trades"));
    writer.setTitle(DocumentName(which));
    SetUpDocumentPages(writer, which, paper);
    const int pages = PaintShippingDocument(writer, documents, which, paper);
    if (pages == 0 || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        qCWarning(lcExport) << "writing" << path << "failed:" << file.errorString();
        return Failed(QStringLiteral("写入 %1 失败：%2").arg(shown, file.errorString()));
    }
    if (!file.commit()) {
        qCWarning(lcExport) << "committing" << path << "failed:" << file.errorString();
        return Failed(QStringLiteral("写入 %1 失败：%2").arg(shown, file.errorString()));
    }
    DocumentWritten written;
    written.ok = true;
    written.pages = pages;
    return written;
}
