#include "support/TestSupport.h"

#include "core/print/ShippingDocuments.h"
#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"

namespace {

// One grid row from "order|status|recipient|waybill|item text|price|quantity",
// then "|message|memo" for a trade with notes; the list parser writes the
// item column the same way, the detail download the notes (a further item's
// row gets the shown ones only).
void AddRow(TradeGrid& grid, const QString& cells)
{
    const QStringList f = cells.split(u'|');
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, ColOrderNumber, f[0]);
    grid.SetTextMatrix(row, ColStatus, f[1]);
    grid.SetTextMatrix(row, ColRecipient, f[2]);
    grid.SetTextMatrix(row, ColAddress, f[2].isEmpty() ? QString() : QStringLiteral("文三路 1 号"));
    grid.SetTextMatrix(row, ColWaybill, f[3]);
    grid.SetTextMatrix(row, ColItem, f[4].section(u' ', 0, 0));
    grid.SetTextMatrix(row, ColUnitPrice, f[5]);
    grid.SetTextMatrix(row, ColQuantity, f[6]);
    grid.SetTextMatrix(row, ColItemRecord, ItemRecordLine({ f[0], f[5], f[6], f[4] }));
    if (f.size() > 8 && IsFurtherItemOrder(f[0])) {
        grid.SetTextMatrix(row, ColBuyerMessage, f[7]);
        grid.SetTextMatrix(row, ColSellerMemo, f[8]);
    } else if (f.size() > 8) {
        WriteRowNotes(grid, row, { f[0], f[7], f[8] });
    }
}

// Each order with "※" when it has a buyer's message, and "{memo}" when
// the seller wrote one.
QString MarkedOrders(const QStringList& orders, const PickingList& list)
{
    QStringList marked;
    for (const QString& order : orders)
        marked.append((list.ordersWithNotes.contains(order) ? order + u'※' : order)
            + (list.memos.contains(order) ? QStringLiteral("{%1}").arg(list.memos.value(order)) : QString()));
    return marked.join(u',');
}

// "title/options/price×quantity@orders" per line, ";" between lines.
QString PickingText(const PickingList& list)
{
    QStringList lines;
    for (const PickLine& line : list.lines)
        lines.append(QStringLiteral("%1/%2/%3×%4@%5")
                         .arg(line.title, line.options, line.unitPrice)
                         .arg(line.quantity)
                         .arg(MarkedOrders(line.orders, list)));
    return lines.join(u';');
}

// "recipient:orders:items" per slip, then "[order=message/memo]" per trade
// with notes, items as "title/options×quantity".
QString SlipsText(const QVector<PackingSlip>& slips)
{
    QStringList texts;
    for (const PackingSlip& slip : slips) {
        QStringList items;
        for (const SlipItem& item : slip.items)
            items.append(QStringLiteral("%1/%2×%3").arg(item.title, item.options, item.quantity));
        texts.append(QStringLiteral("%1:%2:%3").arg(slip.recipient, slip.orders.join(u','), items.join(u','))
            + (slip.addressToCheck ? QStringLiteral("（请核对地址）") : QString()));
        for (const TradeNotes& notes : slip.notes)
            texts.last() += QStringLiteral("[%1=%2/%3]").arg(notes.order, notes.message, notes.memo);
    }
    return texts.join(u';');
}

const QString kPaid = QStringLiteral("买家已付款");
const QString kWaiting = QStringLiteral("等待卖家发货");

} // namespace

class TestShippingDocuments : public QObject {
    Q_OBJECT
private slots:
    void picksAndPacksTheRowsToShip_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selectedFrom"); // data row from 0; -1: all rows
        QTest::addColumn<int>("selectedTo");
        QTest::addColumn<QString>("picking");
        QTest::addColumn<QString>("slips");
        QTest::addColumn<QStringList>("withoutRecipient");
        QTest::addColumn<QStringList>(
            "findings"); // "order:R" a refused mobile, "order:C" an address to check
        QTest::addColumn<QStringList>("recipientRefused");

        QTest::newRow("a trade's items and another trade to the same address make one parcel")
            << QStringList { "11|" + kPaid + "|张三||碎花连衣裙 颜色分类：白色 尺码：M|89.00|2",
                   "11_1|" + kPaid + "|张三||马克杯|19.90|1", "12|" + kWaiting + "|张三||马克杯|19.90|3",
                   "13|" + kPaid + "|李四||马克杯|19.90|1" }
            << -1 << -1 << "马克杯//19.90×5@11,12,13;碎花连衣裙/颜色分类：白色 尺码：M/89.00×2@11"
            << "张三:11,12:碎花连衣裙/颜色分类：白色 尺码：M×2,马克杯/×1,马克杯/×3;李四:13:马克杯/×1"
            << QStringList {} << QStringList {} << QStringList {};
        QTest::newRow("the same title with other options or another price sums apart")
            << QStringList { "21|" + kPaid + "|张三||T恤 颜色分类：白色|39.00|1",
                   "22|" + kPaid + "|李四||T恤 颜色分类：黑色|39.00|2",
                   "23|" + kPaid + "|王五||T恤 颜色分类：白色|35.00|1",
                   "24|" + kPaid + "|赵六||T恤 颜色分类：白色|39.00|4" }
            << -1 << -1
            << "T恤/颜色分类：白色/35.00×1@23;T恤/颜色分类：白色/39.00×5@21,24;T恤/颜色分类：黑色/39.00×2@22"
            << "张三:21:T恤/颜色分类：白色×1;李四:22:T恤/颜色分类：黑色×2;王五:23:T恤/颜色分类：白色×1;"
               "赵六:24:T恤/颜色分类：白色×4"
            << QStringList {} << QStringList {} << QStringList {};
        QTest::newRow("closed, unpaid and shipped trades are left out; no recipient is named")
            << QStringList { "31|交易关闭|张三||围巾|20.00|1", "32|等待买家付款|张三||围巾|20.00|1",
                   "33|卖家已发货|张三|YT123|围巾|20.00|1", "34|" + kPaid + "|||围巾|20.00|1",
                   "35|" + kPaid + "|张三||围巾|20.00|2", "36|交易关闭详情查看物流|张三||围巾|20.00|1" }
            << -1 << -1 << "围巾//20.00×2@35"
            << "张三:35:围巾/×2" << QStringList { "34" } << QStringList {} << QStringList {};
        QTest::newRow("only the selected rows")
            << QStringList { "41|" + kPaid + "|张三||围巾|20.00|1", "42|" + kPaid + "|李四||帽子|15.00|1",
                   "43|" + kPaid + "|王五||手套|10.00|1" }
            << 2 << 1 << "帽子//15.00×1@42;手套//10.00×1@43"
            << "李四:42:帽子/×1;王五:43:手套/×1" << QStringList {} << QStringList {} << QStringList {};
        QTest::newRow("nothing to ship")
            << QStringList { "51|交易成功|张三|SF1|围巾|20.00|1" } << -1 << -1 << QString() << QString()
            << QStringList {} << QStringList {} << QStringList {};
        QTest::newRow("a refused recipient gets no slip; an address to check says so on its slip")
            << QStringList { "61|" + kPaid + "|张三||围巾|20.00|1", "62|" + kPaid + "|李四||帽子|15.00|1",
                   "63|" + kPaid + "|王五||手套|10.00|1" }
            << -1 << -1 << "帽子//15.00×1@62;手套//10.00×1@63"
            << "李四:62:帽子/×1（请核对地址）;王五:63:手套/×1" << QStringList {}
            << QStringList { "61:R", "62:C" } << QStringList { "61" };
        QTest::newRow("each trade's notes on its parcel, merged or not, and its orders marked")
            << QStringList { "71|" + kPaid + "|张三||围巾|20.00|1|请发顺丰\r\n周末不在|",
                   "71_1|" + kPaid + "|张三||帽子|15.00|1|请发顺丰\r\n周末不在|",
                   "72|" + kPaid + "|张三||手套|10.00|1||送小样",
                   "73|" + kWaiting + "|张三||袜子|5.00|1|请发顺丰|VIP",
                   "74|" + kPaid + "|李四||围巾|20.00|1||" }
            << -1 << -1
            << "帽子//15.00×1@71※;手套//10.00×1@72{送小样};袜子//5.00×1@73※{VIP}"
               ";围巾//20.00×2@71※,74"
            << "张三:71,72,73:围巾/×1,帽子/×1,手套/×1,袜子/×1[71=请发顺丰\r\n周末不在/][72=/"
               "送小样][73=请发顺丰/VIP];"
               "李四:74:围巾/×1"
            << QStringList {} << QStringList {} << QStringList {};
    }

    // The merge folds parcels into rows; the documents stay what they were.
    void picksAndPacksTheRowsToShip()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, selectedFrom);
        QFETCH(int, selectedTo);
        QFETCH(QString, picking);
        QFETCH(QString, slips);
        QFETCH(QStringList, withoutRecipient);
        QFETCH(QStringList, findings);
        QFETCH(QStringList, recipientRefused);
        FindingList found;
        for (const QString& mark : findings)
            found.Add(mark.endsWith(u'R')
                    ? TradeFinding(
                        mark.section(u':', 0, 0), FindingKind::FieldShape, ColMobile, QStringLiteral("138"))
                    : TradeFinding(mark.section(u':', 0, 0), FindingKind::AddressToCheck, ColCity,
                        QStringLiteral("南京市"), FindingSeverity::ToCheck));
        for (const bool merged : { false, true }) {
            if (merged && selectedFrom >= 0)
                continue; // the merge moves rows out of a selection
            TradeGrid grid;
            SetUpTradeGrid(grid);
            for (const QString& row : rows)
                AddRow(grid, row);
            if (merged) {
                Progress progress;
                MergeSameRecipient(progress, grid);
            }
            DocumentRows only;
            if (selectedFrom >= 0)
                only.only = std::pair { grid.FixedRows() + selectedFrom, grid.FixedRows() + selectedTo };
            const ShippingDocuments documents
                = CollectShippingDocuments(grid, only, QStringLiteral("小店"), QDate(2026, 12, 7), found);
            QCOMPARE(PickingText(documents.picking), picking);
            QCOMPARE(SlipsText(documents.slips), slips);
            QCOMPARE(documents.withoutRecipient, withoutRecipient);
            QCOMPARE(documents.recipientRefused, recipientRefused);
            QCOMPARE(SlipsEndLine(documents).contains(QStringLiteral("收货地址没有读准")),
                !recipientRefused.isEmpty());
            qint64 total = 0;
            for (const PickLine& line : documents.picking.lines)
                total += line.quantity;
            QCOMPARE(documents.picking.totalQuantity, total);
            QCOMPARE(ShippingDocumentMessages(documents).isEmpty(),
                !documents.NothingToShip() && documents.withoutRecipient.isEmpty()
                    && recipientRefused.isEmpty());
        }
    }

    void itemTextKeepsTitleAndOptions_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("options");
        QTest::newRow("options on their own line") << "2024新款 碎花连衣裙 [交易快照]\n颜色分类：白色&nbsp;尺码：M"
                                                   << "2024新款 碎花连衣裙" << "颜色分类：白色 尺码：M";
        QTest::newRow("no options") << "手工陶瓷马克杯 [交易快照]" << "手工陶瓷马克杯" << "";
        QTest::newRow("blanks of any kind") << QString::fromUtf16(u"  真丝\u3000围巾\u00A0 颜色分类：红") << "真丝 围巾"
                                            << "颜色分类：红";
    }

    void itemTextKeepsTitleAndOptions()
    {
        QFETCH(QString, cell);
        QFETCH(QString, title);
        QFETCH(QString, options);
        const ItemTextParts parts = SplitItemText(FullItemText(cell));
        QCOMPARE(parts.title, title);
        QCOMPARE(parts.options, options);
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestShippingDocuments)
#include "TestShippingDocuments.moc"
