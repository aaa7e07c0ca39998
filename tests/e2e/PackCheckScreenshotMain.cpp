// Not a test: saves the pictures of the packing bench for the README, the
// 验货 window stopping a refunded parcel and a 76 × 130 mm slip with its
// barcode. Runs offscreen; poppler's pdftoppm renders the slip.
//   lumetra-pack-check-screenshot WINDOW.png SLIP.png

#include "support/TestSupport.h"

#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/trade/Finding.h"
#include "gui/packcheck/PackCheckWindow.h"
#include "print/PdfDocumentPrinter.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

void AddItem(TradeGrid& grid, const QString& order, const QString& recipient, const QString& text,
    const QString& quantity)
{
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, ColOrderNumber, order);
    grid.SetTextMatrix(row, ColStatus, QStringLiteral("买家已付款"));
    grid.SetTextMatrix(row, ColRecipient, recipient);
    grid.SetTextMatrix(row, ColMobile, QStringLiteral("13812345678"));
    grid.SetTextMatrix(row, ColProvince, QStringLiteral("浙江省"));
    grid.SetTextMatrix(row, ColCity, QStringLiteral("杭州市"));
    grid.SetTextMatrix(row, ColDistrict, QStringLiteral("西湖区"));
    grid.SetTextMatrix(row, ColAddress, QStringLiteral("文三路 478 号华星科技大厦 12 楼"));
    grid.SetTextMatrix(
        row, ColItemRecord, ItemRecordLine({ order, QStringLiteral("59.00"), quantity, text }));
}

} // namespace

int main(int argc, char* argv[])
{
    testsupport::UseTemporaryHome();
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    TradeGrid grid;
    SetUpTradeGrid(grid);
    const QString order = QStringLiteral("3925471068813927514");
    AddItem(grid, order, QStringLiteral("张晓梅"), QStringLiteral("真丝印花围巾 颜色分类：藏青 尺寸：90cm"),
        QStringLiteral("2"));
    AddItem(grid, order + QStringLiteral("_1"), QStringLiteral("张晓梅"),
        QStringLiteral("天然竹制砧板 规格：大号"), QStringLiteral("1"));
    WriteRowNotes(grid, grid.FixedRows(),
        { order, QStringLiteral("是送人的，请不要放发票和价格单"), QStringLiteral("送小样两份") });
    const FindingList findings;

    PageFetcher fetcher;
    fetcher.UseStandIn([](const QString&, const QString&, int) {
        return FetchResult { FetchStatus::Arrived, QStringLiteral("<span>交易状态：退款中</span>") };
    });
    Endpoints endpoints;
    endpoints.tradeBase = QStringLiteral("http://127.0.0.1:9");
    QTemporaryDir dir;
    PackCheckWindow window(
        { [&]() -> const TradeGrid& { return grid; }, [&]() -> const FindingList& { return findings; } },
        fetcher, endpoints, dir.filePath(QStringLiteral("marks.json")));
    window.resize(900, 760);
    window.show();
    QSignalSpy answered(&window, &PackCheckWindow::Answered);
    window.Scan(order);
    if (!answered.wait(5000) || !window.grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;

    const QString pdf = dir.filePath(QStringLiteral("slip.pdf"));
    const ShippingDocuments documents
        = CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate::currentDate());
    PdfDocumentPrinter printer;
    if (!printer.WritePdf(documents, ShippingDocument::PackingSlips, SlipPaper::Label76x130, pdf).IsWritten())
        return 1;
    QString png = QString::fromLocal8Bit(argv[2]);
    png.chop(4); // pdftoppm adds ".png"
    return QProcess::execute(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
            pdf, png });
}
