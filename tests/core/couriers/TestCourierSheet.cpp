#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

#include "core/couriers/CourierExport.h"
#include "core/couriers/CourierFields.h"
#include "core/extract/AddressLine.h"
#include "core/grid/GridSetup.h"
#include "core/grid/ItemRecord.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/text/AnsiCodec.h"

namespace {

// A grid row from "order|status|recipient|mobile|telephone|address line's
// street|item text|quantity"; the street is read as the detail page's line.
void AddRow(TradeGrid& grid, const QString& cells)
{
    const QStringList f = cells.split(u'|');
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    const AddressReading street = ReadAddressLine(QStringLiteral("某人，%1，100000").arg(f[5]));
    const QList<std::pair<int, QString>> texts { { ColOrderNumber, f[0] }, { ColStatus, f[1] },
        { ColRecipient, f[2] }, { ColMobile, f[3] }, { ColTelephone, f[4] }, { ColProvince, street.province },
        { ColCity, street.city }, { ColDistrict, street.district }, { ColAddress, street.address },
        { ColItem, f[6].section(u' ', 0, 0) }, { ColUnitPrice, QStringLiteral("9.90") },
        { ColQuantity, f[7] },
        { ColItemRecord, ItemRecordLine({ f[0], QStringLiteral("9.90"), f[7], f[6] }) } };
    for (const auto& [col, text] : texts)
        grid.SetTextMatrix(
            row, col, f[2].isEmpty() && col >= ColRecipient && col <= ColAddress ? QString() : text);
}

const QString kPaid = QStringLiteral("买家已付款");
const QString kStreet = QStringLiteral("浙江省 杭州市 西湖区 文三路 7号");

QString ReadBackFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? DecodeAnsi(file.readAll()) : QString();
}

} // namespace

class TestCourierSheet : public QObject {
    Q_OBJECT
private slots:
    void wholeAddressFromTheDetailLine_data()
    {
        QTest::addColumn<QString>("street"); // as the detail page's address line gives it
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("city");
        QTest::newRow("province") << kStreet << "浙江省杭州市西湖区文三路7号"
                                  << "浙江省"
                                  << "杭州市";
        QTest::newRow("municipality, spaced") << "上海市 浦东新区 世纪大道 88号"
                                              << "上海市浦东新区世纪大道88号"
                                              << "上海市"
                                              << "上海市";
        QTest::newRow("municipality written twice") << "上海 上海市 浦东新区 世纪大道88号"
                                                    << "上海市浦东新区世纪大道88号"
                                                    << "上海市"
                                                    << "上海市";
        QTest::newRow("autonomous region, short form") << "广西 南宁市 青秀区 民族大道 1号"
                                                       << "广西壮族自治区南宁市青秀区民族大道1号"
                                                       << "广西壮族自治区"
                                                       << "南宁市";
        QTest::newRow("street repeating its pieces") << "北京市 朝阳区 北京市朝阳区建国路 1号"
                                                     << "北京市朝阳区建国路1号"
                                                     << "北京市"
                                                     << "北京市";
    }
    void wholeAddressFromTheDetailLine()
    {
        QFETCH(QString, street);
        QFETCH(QString, whole);
        QFETCH(QString, province);
        QFETCH(QString, city);
        const AddressReading read
            = ReadAddressLine(QStringLiteral("张三，13812345678，%1，200120").arg(street));
        QCOMPARE(WholeAddress(read.province, read.city, read.district, read.address), whole);
        QCOMPARE(FullProvince(read.province), province);
        QCOMPARE(SheetCity(read.province, read.city), city);
        // The sender's address, typed spaced or run together, splits alike.
        for (const QString& typed : { street, QString(street).remove(u' ') }) {
            const AddressPieces sender = SplitAddress(typed);
            QVERIFY2(sender.split, qPrintable(typed));
            QCOMPARE(WholeAddress(sender.province, sender.city, sender.district, sender.street), whole);
        }
    }

    void goodsTextCutWithTheCount_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("goods");
        QTest::newRow("whole") << 100 << "纯棉T恤 白色 L ×2；保温杯 黑色 ×1";
        QTest::newRow("the items that fit") << 20 << "纯棉T恤 白色 L ×2等3件";
        QTest::newRow("the first item's start") << 10 << "纯棉T恤 白色等3件";
    }
    void goodsTextCutWithTheCount()
    {
        QFETCH(int, limit);
        QFETCH(QString, goods);
        const QVector<SlipItem> items { { QStringLiteral("纯棉T恤"), QStringLiteral("颜色分类：白色 尺码：L"),
                                            "2" },
            { QStringLiteral("保温杯"), QStringLiteral("颜色分类：黑色"), "1" } };
        const QString text = GoodsText(items, limit);
        QCOMPARE(text, goods);
        QVERIFY(text.size() <= limit);
    }

    void mobileElseTelephone_data()
    {
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("telephone");
        QTest::addColumn<QString>("phone");
        QTest::newRow("mobile first") << "13812345678"
                                      << "0571-88886666"
                                      << "13812345678";
        QTest::newRow("telephone without a mobile") << ""
                                                    << "0571-88886666"
                                                    << "0571-88886666";
        QTest::newRow("privacy number as shown") << "17012345678-1234"
                                                 << ""
                                                 << "17012345678-1234";
        QTest::newRow("masked as shown") << "138****5678"
                                         << "0571-88886666"
                                         << "138****5678";
        QTest::newRow("a merged parcel's first") << "13812345678 / 13900001111"
                                                 << ""
                                                 << "13812345678";
    }
    void mobileElseTelephone()
    {
        QFETCH(QString, mobile);
        QFETCH(QString, telephone);
        QFETCH(QString, phone);
        QCOMPARE(MobileElseTelephone(mobile, telephone), phone);
    }

    void builtInHeadersExact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("needsSender");
        QTest::newRow("分列地址")
            << "分列地址"
            << "收件人姓名,收件人手机/电话,收件人省,收件人市,收件人区,收件人详细地址,物品名称,数量,"
               "商品编码,销售属性,备注,寄件人姓名,寄件人手机/电话,寄件人省,寄件人市,寄件人县/区,"
               "寄件人详细地址,订单编号"
            << true;
        QTest::newRow("整行地址")
            << "整行地址"
            << "收件人,收件人手机/电话,收件地址,寄件人,寄件人手机/电话,寄件地址,收件公司,包裹件数,"
               "托寄物,重量,长,宽,高,备注(选填),寄件公司,业务类型,包装服务费"
            << true;
        QTest::newRow("简单") << "简单"
                              << "姓名,电话,省,市,区,详细地址,物品名称,重量" << false;
    }
    void builtInHeadersExact()
    {
        QFETCH(QString, name);
        QFETCH(QString, header);
        QFETCH(bool, needsSender);
        const CourierTemplateRead found
            = FindCourierTemplate(name, QDir::tempPath() + QStringLiteral("/none"));
        QVERIFY(found);
        QCOMPARE(found.value.Titles().join(u','), header);
        QCOMPARE(found.value.NeedsSender(), needsSender);
        QCOMPARE(
            CheckCourierSender(found.value, {}).reason.contains(QStringLiteral("寄件人")), needsSender);
    }

    void userTemplateFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal"); // empty: usable
        QTest::addColumn<QString>("header");
        QTest::newRow("usable")
            << "# 我的快递\n收件人 = 收件人\n\n电话 = 手机或电话\n托寄物 = 宝贝 30\n件数 = \"1\"\n"
            << ""
            << "收件人,电话,托寄物,件数";
        QTest::newRow("an unknown field") << "收件人 = 收件人\n电话 = 手机或电话\n地址 = 住址\n"
                                          << "第 3 行：“住址”不是可用的字段"
                                          << "";
        QTest::newRow("no equals sign") << "收件人 = 收件人\n电话\n"
                                        << "第 2 行：应写成“列名 = 字段”"
                                        << "";
        QTest::newRow("an empty title") << " = 收件人\n"
                                        << "第 1 行：列名是空的"
                                        << "";
        QTest::newRow("no column") << "# nothing\n"
                                   << "里没有一列"
                                   << "";
    }
    void userTemplateFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QFETCH(QString, header);
        QTemporaryDir folder;
        QVERIFY(testsupport::WriteFile(folder.filePath(QStringLiteral("我的.txt")), text.toUtf8()));
        const CourierTemplateRead found = FindCourierTemplate(QStringLiteral("我的"), folder.path());
        QCOMPARE(found.IsDone(), refusal.isEmpty());
        QVERIFY2(found.reason.contains(refusal)
                && found.reason.contains(QStringLiteral("我的.txt")) != found.IsDone(),
            qPrintable(found.reason));
        QCOMPARE(found.value.Titles().join(u','), header);
        QVERIFY(CourierTemplateNames(folder.path()).contains(QStringLiteral("我的")));
        // A bad template writes nothing, not even an empty file.
        CourierRequest request;
        request.path = folder.filePath(QStringLiteral("sheet.xlsx"));
        request.templateName = QStringLiteral("我的");
        request.templateFolder = folder.path();
        QCOMPARE(ExportCourierSheet({}, request).IsWritten(), found.IsDone());
        QCOMPARE(QFile::exists(request.path), found.IsDone());
    }

    // The day's grid: a parcel of three trades, one single parcel, and the
    // trades the sheet leaves out, merged or not, written and read back.
    void parcelsWrittenAndReadBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("merged");
        QTest::addColumn<bool>("includeToCheck");
        QTest::newRow("workbook") << "sheet.xlsx" << false << false;
        QTest::newRow("workbook of the merged grid") << "sheet.xlsx" << true << false;
        QTest::newRow("CSV, the address to check included") << "sheet.csv" << true << true;
        QTest::newRow("xls refused") << "sheet.xls" << false << false;
    }
    void parcelsWrittenAndReadBack()
    {
        QFETCH(QString, file);
        QFETCH(bool, merged);
        QFETCH(bool, includeToCheck);
        TradeGrid grid;
        SetUpTradeGrid(grid);
        for (const QString& row :
            { "1101|" + kPaid + "|张三|13812345678||" + kStreet + "|纯棉T恤 颜色分类：白色 尺码：L|2",
                "1102|" + kPaid + "|张三|13812345678||" + kStreet + "|保温杯 颜色分类：黑色|1",
                "1103|等待卖家发货|张三|13812345678||" + kStreet + "|围巾|1",
                "1104|交易成功|钱七|13812345678||" + kStreet + "|围巾|1",
                "1201|" + kPaid + "|李四||0571-88886666|上海 上海市 浦东新区 世纪大道 88号|围巾|3",
                "1301|" + kPaid + "|王五|13900001111||" + kStreet + "|围巾|1",
                "1401|" + kPaid + "|赵六|13700001111||江苏省 南京市 西湖区 中山路 1号|围巾|1",
                "1501|" + kPaid + "|||||围巾|1" })
            AddRow(grid, row);
        if (merged) {
            Progress progress;
            MergeSameRecipient(progress, grid);
        }
        FindingList findings;
        findings.Add(
            TradeFinding(QStringLiteral("1301"), FindingKind::FieldShape, ColMobile, QStringLiteral("139")));
        findings.Add(TradeFinding(QStringLiteral("1401"), FindingKind::AddressToCheck, ColCity,
            QStringLiteral("南京市西湖区"), FindingSeverity::ToCheck));
        const ShippingDocuments documents
            = CollectShippingDocuments(grid, {}, QStringLiteral("小店"), QDate(2026, 12, 8), findings);
        QTemporaryDir folder;
        CourierRequest request;
        request.path = folder.filePath(file);
        request.sender = { QStringLiteral("小店"), QStringLiteral("0571-12345678"),
            QStringLiteral("浙江省杭州市余杭区文一西路 969号") };
        request.choices.includeToCheck = includeToCheck;
        const CourierOutcome outcome = ExportCourierSheet(documents, request);
        if (file.endsWith(QStringLiteral(".xls"))) {
            QVERIFY(!outcome.IsWritten() && outcome.toTell.join(u' ').contains(QStringLiteral(".xlsx")));
            QVERIFY(!QFile::exists(request.path));
            return;
        }
        QVERIFY2(outcome.IsWritten(), qPrintable(outcome.reason));
        QCOMPARE(outcome.parcels, includeToCheck ? 3 : 2);
        // Left out and named: the refused recipient, the one without, and
        // the address to check unless included.
        const QString told = outcome.toTell.join(u'\n');
        QVERIFY2(told.contains(QStringLiteral("1301（收货地址没有读准"))
                && told.contains(QStringLiteral("1501（没有读到收件人"))
                && told.contains(QStringLiteral("1401（市或区")) != includeToCheck,
            qPrintable(told));
        QCOMPARE(outcome.leftOut, includeToCheck ? 2 : 3);

        const QStringList parcel { "张三", "13812345678", "浙江省", "杭州市", "西湖区", "文三路7号",
            "纯棉T恤 白色 L ×2；保温杯 黑色 ×1；围巾 ×1", "4", "", "", "1101、1102、1103", "小店",
            "0571-12345678", "浙江省", "杭州市", "余杭区", "文一西路969号", "1101、1102、1103" };
        QStringList second = parcel;
        for (const auto& [col, text] : { std::pair { 0, "李四" }, { 1, "0571-88886666" }, { 2, "上海市" },
                 { 3, "上海市" }, { 4, "浦东新区" }, { 5, "世纪大道88号" }, { 6, "围巾 ×3" }, { 7, "3" },
                 { 10, "1201" }, { 17, "1201" } })
            second[col] = QString::fromUtf8(text);
        if (file.endsWith(QStringLiteral(".csv"))) {
            const QStringList lines = ReadBackFile(request.path).split(QStringLiteral("\r\n"));
            QCOMPARE(lines.value(1), parcel.join(u','));
            QCOMPARE(lines.value(2), second.join(u','));
            QCOMPARE(lines.size(), 5); // header, three parcels, the end of the last line
            return;
        }
        const exporttest::XlsxBook book = exporttest::ReadXlsx(request.path);
        QVERIFY(book.ok);
        QVERIFY(!book.anyFormula);
        QCOMPARE(book.cells.value(QStringLiteral("A1")).value, QStringLiteral("收件人姓名"));
        for (int c = 0; c < parcel.size(); ++c) {
            for (const auto& [row, cells] : { std::pair { 2, parcel }, std::pair { 3, second } }) {
                const exporttest::XlsxCell cell = book.cells.value(exporttest::CellRef(row, c + 1));
                QCOMPARE(cell.value, cells.at(c));
                // A string, or an empty cell: never a number.
                QVERIFY2(cell.type == u"s" || cell.type == u"inlineStr" || !cell.hasValue,
                    qPrintable(exporttest::CellRef(row, c + 1)));
            }
        }
        QVERIFY(!book.cells.contains(QStringLiteral("A4"))
            || book.cells.value(QStringLiteral("A4")).value.isEmpty());
    }

    void senderNeededWhenEmpty_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("no name") << ""
                                 << "浙江省 杭州市 西湖区 文三路7号"
                                 << "寄件人的姓名";
        QTest::newRow("an address without a province") << "小店"
                                                       << "文三路7号"
                                                       << "分不出来";
        QTest::newRow("complete") << "小店"
                                  << "浙江省杭州市西湖区文三路7号"
                                  << "";
    }
    void senderNeededWhenEmpty()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, refusal);
        QTemporaryDir folder;
        CourierRequest request;
        request.path = folder.filePath(QStringLiteral("a.xlsx"));
        request.sender = { name, QStringLiteral("0571-12345678"), address };
        const CourierTemplateRead checked = CheckCourierRequest(request);
        QCOMPARE(checked.IsDone(), refusal.isEmpty());
        QVERIFY2(checked.reason.contains(refusal), qPrintable(checked.reason));
    }
};

LUMETRA_TEST_GUILESS_MAIN(TestCourierSheet)
#include "TestCourierSheet.moc"
