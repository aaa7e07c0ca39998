#include "support/LocalHttpServer.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/base/Endpoints.h"
#include "core/base/EventWait.h"
#include "core/downloads/DetailDownloadPass.h"
#include "core/downloads/DetailFetch.h"
#include "core/downloads/TradeDetails.h"
#include "core/extract/AddressLine.h"
#include "core/extract/DetailPage.h"
#include "core/extract/OrderNotes.h"
#include "core/grid/GridSetup.h"
#include "core/grid/NoteRecord.h"
#include "core/grid/TradeGrid.h"
#include "core/history/TradeHistory.h"
#include "core/network/PageFetchJob.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/RunContext.h"
#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

namespace {

const QString kOld = QStringLiteral("old");

// A detail page in the form the marketplace serves: the block in a table,
// the logistics link after the waybill, the feedback line and the footer.
QString DetailPage(const QString& addressLine, const QString& company, const QString& waybill)
{
    return QStringLiteral("<HTML><HEAD><TITLE>交易详情</TITLE></HEAD><BODY>\r\n"
                          "<DIV class=\"title\">收货和物流信息</DIV>\r\n<TABLE>\r\n"
                          "<TR><TH>收货地址：</TH><TD>%1</TD></TR>\r\n"
                          "<TR><TH>运送方式：</TH><TD>\t快递</TD></TR>\r\n"
                          "<TR><TH>物流公司名称：</TH><TD>%2</TD></TR>\r\n"
                          "<TR><TH>运单号：</TH><TD>%3    <A href=\"#\">查看物流信息</A></TD></TR>\r\n"
                          "</TABLE>\r\n<P>我对购买流程有意见或建议</P>\r\n"
                          "<A href=\"/about\">关于淘宝</A></BODY></HTML>")
        .arg(addressLine, company, waybill);
}

const QString kFiveLine
    = QStringLiteral("张三，13800001111，0571-88886666，浙江省 杭州市 西湖区 文三路 1号，310000");

void MakeGrid(TradeGrid& grid, const QStringList& orderNumbers)
{
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + int(orderNumbers.size()));
    for (int i = 0; i < orderNumbers.size(); ++i)
        grid.SetTextMatrix(grid.FixedRows() + i, ColOrderNumber, orderNumbers.at(i));
}

void FillOld(TradeGrid& grid, int row)
{
    for (int c = ColRecipient; c <= ColWaybill; ++c)
        grid.SetTextMatrix(row, c, kOld);
}

QStringList DetailColumns(const TradeGrid& grid, int row)
{
    QStringList values;
    for (int c = ColRecipient; c <= ColWaybill; ++c)
        values.append(grid.TextMatrix(row, c));
    return values;
}

} // namespace

class TestTradeDetails : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        prompt_.Clear();
        pass_.emplace();
        onFetch_ = nullptr;
        fetched_.clear();
        fetchArguments_.clear();
        pages_.clear();
        BuildRun(QStringLiteral("http://trade.example"));
    }
    // A new run on the trade host tradeBase whose fetches the test answers.
    void BuildRun(const QString& tradeBase, TradeHistory* history = nullptr,
        std::optional<int> detailDownloads = std::nullopt)
    {
        Endpoints endpoints = DefaultEndpoints();
        endpoints.tradeBase = tradeBase;
        run_.reset();
        run_.emplace(RunServices { .prompt = &prompt_,
            .endpoints = endpoints,
            .history = history,
            .detailDownloads = detailDownloads });
        run_->progress.SetView(&view_.emplace());
        run_->fetcher.UseStandIn([this](const QString& address, const QString& marker, int timeout) {
            fetched_.append(address);
            fetchArguments_.append(QStringLiteral("%1|%2").arg(marker).arg(timeout));
            if (onFetch_)
                onFetch_(address);
            if (!pages_.contains(address))
                return FetchResult { FetchStatus::Failed, QString() };
            return FetchResult { FetchStatus::Arrived, pages_.value(address) };
        });
    }

    void historyStandsInForEndedTrades_data()
    {
        QTest::addColumn<QString>("storedStatus");
        QTest::addColumn<QString>("listedStatus");
        QTest::addColumn<bool>("downloaded");
        QTest::addColumn<bool>("historyRefuses");
        QTest::newRow("both ended: the stored row") << "交易成功"
                                                    << "交易关闭" << false << false;
        QTest::newRow("stored while shipping") << "卖家已发货"
                                               << "交易成功" << true << false;
        QTest::newRow("listed still open") << "交易成功"
                                           << "退款中" << true << false;
        QTest::newRow("nothing stored") << QString() << "交易成功" << true << false;
        // The grid has the page either way; the pass says it was not kept.
        QTest::newRow("the history refuses the page") << QString() << "交易成功" << true << true;
    }
    void historyStandsInForEndedTrades()
    {
        QFETCH(QString, storedStatus);
        QFETCH(QString, listedStatus);
        QFETCH(bool, downloaded);
        QFETCH(bool, historyRefuses);
        QTemporaryDir dir;
        const QString historyPath = dir.filePath(QStringLiteral("history.sqlite"));
        TradeHistory history(historyPath);
        const QStringList stored { "旧收件人", "1", "", "浙江", "杭州市", "西湖区", "路", "310000", "圆通",
            "Y0", "", "送小样" };
        if (!storedStatus.isEmpty())
            QCOMPARE(history.StorePage({ { "81", stored, storedStatus, QDateTime::currentDateTimeUtc() } }),
                HistoryWrite::Stored);
        if (historyRefuses)
            QVERIFY(testsupport::RunSql(historyPath, { QStringLiteral("DROP TABLE trade_details") }));
        BuildRun(QStringLiteral("http://trade.example"), &history);
        TradeGrid grid;
        MakeGrid(grid, { "81", "81_1" });
        grid.SetTextMatrix(2, ColStatus, listedStatus);
        pages_.insert(TradeDetailAddress(run_->endpoints, "81"),
            DetailPage(kFiveLine, QStringLiteral("中通"), QStringLiteral("Z9")));

        DownloadTradeDetails(*run_, grid, 2, false, {}, *pass_);
        QCOMPARE(fetched_.size(), downloaded ? 1 : 0);
        QCOMPARE(pass_->fromHistory, downloaded ? 0 : 1);
        QCOMPARE(grid.TextMatrix(2, ColWaybill), downloaded ? QStringLiteral("Z9") : QStringLiteral("Y0"));
        QCOMPARE(DetailColumns(grid, 3), DetailColumns(grid, 2)); // the item row's copy
        // The stored memo comes back with its record, for the slips.
        QCOMPARE(grid.TextMatrix(2, ColNoteRecord).isEmpty(), downloaded);
        QCOMPARE(grid.TextMatrix(3, ColSellerMemo), downloaded ? QString() : QStringLiteral("送小样"));
        QCOMPARE(pass_->historyWriteFailed, historyRefuses);
        // A download is stored with the status listed now.
        const std::optional<HistoryEntry> kept = history.Find(QStringLiteral("81")).value;
        QCOMPARE(kept.has_value(), !historyRefuses);
        if (!kept)
            return;
        QCOMPARE(kept->details.mid(0, 10), DetailColumns(grid, 2));
        QCOMPARE(kept->status, downloaded ? listedStatus : storedStatus);
    }

    void findsBlockLinesByTheirLabels_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("values"); // address line, method, company, waybill; "-" for missing
        QTest::newRow("usual page") << DetailPage(kFiveLine, QStringLiteral("圆通速递"),
            QStringLiteral("YT123")) << QStringList { kFiveLine, "快递", "圆通速递", "YT123" };
        QTest::newRow("no method line") << QString(DetailPage(kFiveLine, "中通", "7701"))
                                               .remove(QRegularExpression("<TR><TH>运送方式.*?</TR>"))
                                        << QStringList { kFiveLine, "-", "中通", "7701" };
        QTest::newRow("lines in another order")
            << QStringLiteral("收货和物流信息收货地址：a，1运单号：W1 物流公司名称：中通 "
                              "运送方式：快递我对购买流程有意见或建议")
            << QStringList { "a，1", "快递", "中通", "W1" };
        QTest::newRow("blanks of every kind made one") << QStringLiteral(
            "收货和物流信息收货地址：a&nbsp;\u00a0\u3000 b\r\n运单号： Y&nbsp;我对购买流程有意见或建议")
                                                       << QStringList { "a b", "-", "-", "Y" };
        QTest::newRow("the logistics link ends a line")
            << QStringLiteral("收货和物流信息收货地址：a 运单号：Y1 查看物流信息 我对购买流程有意见或建议")
            << QStringList { "a", "-", "-", "Y1" };
        QTest::newRow("a parcel after the last logistics link") << QStringLiteral(
            "收货和物流信息收货地址：a 物流公司名称：圆通 运单号：YT1 查看物流信息 包裹2 物流公司名称：中通 "
            "运单号：ZT2我对购买流程有意见或建议") << QStringList { "a", "-", "圆通、中通", "YT1、ZT2" };
        QTest::newRow("a broken end tag is no text, a lone '<' is")
            << QStringLiteral("收货和物流信息收货地址：a</>b <: c</ x>运单号：Y1我对购买流程有意见或建议")
            << QStringList { "ab <: c", "-", "-", "Y1" };
        QTest::newRow("character references decoded")
            << DetailPage(QStringLiteral("刘&#19886;，13800001111，浙江省 杭州市 136号&#x2000B;栋 B&amp;C座"),
                   QStringLiteral("圆&#36890;"), QStringLiteral("YT&#49;"))
            << QStringList { "刘\u4DAE，13800001111，浙江省 杭州市 136号\U0002000B栋 B&C座", "快递", "圆通",
                   "YT1" };
        const QString notes = QStringLiteral("<dl><dt>买家留言：</dt><dd>%1</dd></dl>\r\n");
        QTest::newRow("a message before the block quoting its labels")
            << QString(DetailPage(kFiveLine, "圆通", "YT1"))
                   .replace(QStringLiteral("<DIV class=\"title\">"),
                       notes.arg(QStringLiteral(
                           "收货和物流信息写错了，请改收货地址：李四，13911112222，北京市 朝阳区 "
                           "x 运单号：9 查看物流信息"))
                           + QStringLiteral("<DIV class=\"title\">"))
            << QStringList { kFiveLine, "快递", "圆通", "YT1" };
        QTest::newRow("a message after the block quoting its link")
            << QString(DetailPage(kFiveLine, "圆通", "YT1"))
                   .replace(QStringLiteral("</TABLE>"),
                       QStringLiteral("</TABLE>") + notes.arg(QStringLiteral("查看物流信息 运单号：9 包裹2")))
            << QStringList { kFiveLine, "快递", "圆通", "YT1" };
        QTest::newRow("the items after the block are not its lines")
            << QString(DetailPage(kFiveLine, "圆通", "YT1"))
                   .replace(QStringLiteral("</TABLE>\r\n"),
                       QStringLiteral("</TABLE><TABLE><TR><TD>包裹 3 运单号：9</TD></TR></TABLE>"))
                   .replace(QStringLiteral("<DIV class=\"title\">收货和物流信息</DIV>\r\n<TABLE>"),
                       QStringLiteral("<DIV><H3>收货和物流信息</H3><TABLE>"))
                   .replace(QStringLiteral("</TABLE><TABLE>"), QStringLiteral("</TABLE></DIV><TABLE>"))
            << QStringList { kFiveLine, "快递", "圆通", "YT1" };
        QTest::newRow("a parcel word inside the street")
            << DetailPage(QStringLiteral("张三，13800001111，浙江省 杭州市 西湖区 文三路 菜鸟驿站包裹2号柜"),
                   "圆通", "YT1")
            << QStringList { "张三，13800001111，浙江省 杭州市 西湖区 文三路 菜鸟驿站包裹2号柜", "快递",
                   "圆通", "YT1" };
        QTest::newRow("two parcels: the lines repeated")
            << QStringLiteral(
                   "收货和物流信息收货地址：a 物流公司名称：圆通 运单号：YT1 查看物流信息 物流公司名称：中通 "
                   "运单号：ZT2 查看物流信息我对购买流程有意见或建议")
            << QStringList { "a", "-", "圆通、中通", "YT1、ZT2" };
        QTest::newRow("two parcels under headings") << QStringLiteral(
            "收货和物流信息收货地址：a 包裹1 物流公司名称：圆通 运单号：YT1 包裹2 物流公司名称：中通 "
            "运单号：ZT2我对购买流程有意见或建议") << QStringList { "a", "-", "圆通、中通", "YT1、ZT2" };
        QTest::newRow("two waybills of one company") << QStringLiteral(
            "收货和物流信息收货地址：a 物流公司名称：圆通 运单号：YT1 运单号：YT2我对购买流程有意见或建议")
                                                     << QStringList { "a", "-", "圆通", "YT1、YT2" };
        QTest::newRow("no feedback line")
            << QStringLiteral("<P>收货和物流信息 收货地址：张三，1</P><A>关于淘宝</A>") << QStringList();
        QTest::newRow("renamed address label")
            << QString(DetailPage(kFiveLine, "c", "w"))
                   .replace(QStringLiteral("收货地址："), QStringLiteral("收货人信息："))
            << QStringList();
        QTest::newRow("unclosed tag swallows the rest")
            << QStringLiteral("收货和物流信息收货地址：a<B 我对购买流程有意见或建议") << QStringList();
    }
    void findsBlockLinesByTheirLabels()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, values);
        const std::optional<RecipientBlock> block = FindRecipientBlock(page);
        QCOMPARE(block.has_value(), !values.isEmpty());
        if (!block)
            return;
        const auto shown
            = [](const std::optional<QString>& value) { return value.value_or(QStringLiteral("-")); };
        QCOMPARE((QStringList { block->addressLine, shown(block->method), shown(block->company),
                     shown(block->waybill) }),
            values);
    }

    void readsOrderNotesByTheirLabels_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("notes"); // message, memo; "-" for a missing label
        const QString dl = QStringLiteral("<dl><dt>%1</dt><dd>%2</dd></dl>\r\n");
        const QString message = QStringLiteral("买家留言：");
        const QString memo = QStringLiteral("卖家备注：");
        QTest::newRow("both") << dl.arg(message, QStringLiteral("请发顺丰"))
                + dl.arg(memo, QStringLiteral("送小样 x2"))
                              << QStringList { "请发顺丰", "送小样 x2" };
        QTest::newRow("missing labels") << QStringLiteral("<p>订单编号：1</p>") << QStringList { "-", "-" };
        QTest::newRow("memo only") << dl.arg(memo, QStringLiteral("老客户")) << QStringList { "-", "老客户" };
        QTest::newRow("empty values")
            << dl.arg(message, QStringLiteral("")) + dl.arg(memo, QStringLiteral("\r\n "))
            << QStringList { "", "" };
        QTest::newRow("empty in a paragraph, next line kept apart")
            << QStringLiteral("<p>买家留言：</p><p>卖家备注：x</p>") << QStringList { "", "x" };
        QTest::newRow("multi-line, source blanks made one")
            << dl.arg(message, QStringLiteral("换成红色<br>\r\n  尺码<b>大一号</b><BR/>"))
            << QStringList { "换成红色\r\n尺码大一号", "-" };
        QTest::newRow("entities are text") << dl.arg(
            message, QStringLiteral("&lt;b&gt;&amp;amp; &#127873;&#x4E2D;&quot;&nbsp;&bogus; &#xD800;"))
                                           << QStringList { "<b>&amp; \U0001F381中\" &bogus; &#xD800;", "-" };
        QTest::newRow("value in the label's cell")
            << QStringLiteral("<td>买家留言：不要发票</td><td>卖家备注：</td></tr>")
            << QStringList { "不要发票", "" };
        QTest::newRow("a message quoting the other label")
            << dl.arg(message, QStringLiteral("请写卖家备注：无")) + dl.arg(memo, QStringLiteral("真的备注"))
            << QStringList { "请写卖家备注：无", "真的备注" };
    }
    void readsOrderNotesByTheirLabels()
    {
        QFETCH(QString, section);
        QFETCH(QStringList, notes);
        const OrderNotesReading reading
            = ReadOrderNotes(DetailPage(kFiveLine, "c", "w")
                                 .replace(QStringLiteral("<DIV class=\"title\">"),
                                     section + QStringLiteral("<DIV class=\"title\">")));
        const auto shown
            = [](const std::optional<QString>& value) { return value.value_or(QStringLiteral("-")); };
        QCOMPARE((QStringList { shown(reading.message), shown(reading.memo) }), notes);
    }

    // The address line read by what its pieces are; every value checked.
    void writesCheckedColumns_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("waybill"); // "-": the block has no waybill line
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("columns");
        // The checks' findings: u(nreadable), c(heck), w(aybill); m: the mobile is masked.
        QTest::addColumn<QString>("named");
        const QString shipped = QStringLiteral("卖家已发货");
        const QStringList five { "张三", "13800001111", "0571-88886666", "浙江", "杭州市", "西湖区",
            "文三路 1号", "310000", "圆通", "YT1" };
        QTest::newRow("usual five pieces") << kFiveLine << "YT1" << shipped << five << "";
        // A piece the address reader hands back that fails its column's
        // shape (a vertical tab the page wrote inside it) is refused.
        QTest::newRow("a district with a blank inside")
            << QStringLiteral("张三，13800001111，，浙江省 杭州市 西\u000B湖区 文三路 1号，310000") << "YT1" << shipped
            << QStringList { "张三", "13800001111", "", "浙江", "杭州市", "", "文三路 1号", "310000", "圆通", "YT1" }
            << "uc";
        QTest::newRow("six pieces join the street")
            << QStringLiteral("张三，13800001111，，江苏省 南京市 鼓楼区 中山路，8号 ，210000") << "YT1"
            << shipped
            << QStringList { "张三", "13800001111", "", "江苏", "南京市", "鼓楼区", "中山路8号", "210000",
                   "圆通", "YT1" }
            << "";
        QTest::newRow("four pieces: no postcode")
            << QStringLiteral("张三，13800001111，0571-88886666，浙江省 杭州市 西湖区 文三路 1号") << "YT1"
            << shipped
            << QStringList { "张三", "13800001111", "0571-88886666", "浙江", "杭州市", "西湖区", "文三路 1号",
                   "", "圆通", "YT1" }
            << "";
        QTest::newRow("four pieces: no telephone")
            << QStringLiteral("张三，13800001111，浙江省 杭州市 西湖区 文三路 1号，310000") << "YT1"
            << shipped
            << QStringList { "张三", "13800001111", "", "浙江", "杭州市", "西湖区", "文三路 1号", "310000",
                   "圆通", "YT1" }
            << "";
        QTest::newRow("a mobile in full-width digits")
            << QStringLiteral("张三，１３８００００１１１１，０５７１－８８８８６６６６，浙江省 杭州市 "
                              "西湖区 文三路 1号，３１００００")
            << "YT1" << shipped << five << "";
        QTest::newRow("pieces in another order")
            << QStringLiteral("张三，浙江省 杭州市 西湖区 文三路 1号，310000，13800001111，0571-88886666")
            << "YT1" << shipped << five << "";
        QTest::newRow("other separators") << QStringLiteral(
            "张三,13800001111,0571-88886666,浙江省&nbsp;杭州市\u3000西湖区\u00a0文三路 1号,310000")
                                          << "YT1" << shipped << five << "";
        QTest::newRow("municipality, one-word street")
            << QStringLiteral("李四，13900001111，，上海市浦东新区世纪大道1号，200000") << "—"
            << "买家已付款"
            << QStringList { "李四", "13900001111", "", "上海市", "上海市", "浦东新区", "世纪大道1号",
                   "200000", "圆通", "" }
            << "";
        QTest::newRow("autonomous region")
            << QStringLiteral("王五，13900001111，，广西壮族自治区 南宁市 青秀区 民族大道 1号，530000") << "—"
            << "等待买家付款"
            << QStringList { "王五", "13900001111", "", "广西壮族自治区", "南宁市", "青秀区", "民族大道 1号",
                   "530000", "圆通", "" }
            << "";
        QTest::newRow("province and city run together")
            << QStringLiteral("张三，13800001111，，浙江杭州市 西湖区 文三路 1号，310000") << "YT1" << shipped
            << QStringList { "张三", "13800001111", "", "浙江", "杭州市", "西湖区", "文三路 1号", "310000",
                   "圆通", "YT1" }
            << "";
        QTest::newRow("city of another province written, named")
            << QStringLiteral("张三，13800001111，，浙江省 南京市 玄武区 路 1号，310000") << "YT1" << shipped
            << QStringList { "张三", "13800001111", "", "浙江", "南京市", "玄武区", "路 1号", "310000",
                   "圆通", "YT1" }
            << "c";
        QTest::newRow("two names cannot be told apart")
            << QStringLiteral("张三，李四，浙江省 杭州市 西湖区 路，310000") << "YT1" << shipped
            << QStringList { "", "", "", "", "", "", "", "", "圆通", "YT1" } << "u";
        QTest::newRow("no street") << QStringLiteral("张三，13800001111，0571-88886666，310000") << "YT1"
                                   << shipped << QStringList { "", "", "", "", "", "", "", "", "圆通", "YT1" }
                                   << "u";
        // Phones as the marketplace shows them and buyers write them.
        const auto phones = [&](const char* name, const char* line, const char* mobile, const char* telephone,
                                const char* address, const char* named) {
            QTest::newRow(name) << QString::fromUtf8(line) << "YT1" << shipped
                                << QStringList { "张三", mobile, telephone, "浙江", "杭州市", "西湖区",
                                       address, "310000", "圆通", "YT1" }
                                << named;
        };
        phones("masked mobile after the street", "张三，浙江省 杭州市 西湖区 文三路7号，138****5678，310000",
            "138****5678", "", "文三路7号", "m");
        phones("masked mobile before the street", "张三，138****5678，浙江省 杭州市 西湖区 文三路7号，310000",
            "138****5678", "", "文三路7号", "m");
        phones("+86 and blanks inside dropped",
            "张三，+86 138 0000 1111，浙江省 杭州市 西湖区 文三路 1号，310000", "13800001111", "",
            "文三路 1号", "");
        phones("86- dropped", "张三，86-13800001111，0571-88886666，浙江省 杭州市 西湖区 文三路 1号，310000",
            "13800001111", "0571-88886666", "文三路 1号", "");
        phones("0086 dropped, telephone without its dash",
            "张三，008613800001111，057188886666，浙江省 杭州市 西湖区 文三路 1号，310000", "13800001111",
            "057188886666", "文三路 1号", "");
        phones("virtual number with its extension",
            "张三，17012345678-1234，浙江省 杭州市 西湖区 文三路 1号，310000", "17012345678-1234", "",
            "文三路 1号", "");
        phones("virtual number, 转 its extension",
            "张三，浙江省 杭州市 西湖区 文三路 1号，310000，17012345678转1234", "17012345678转1234", "",
            "文三路 1号", "");
        phones("second mobile is the telephone",
            "张三，13800001111，86-13900002222，浙江省 杭州市 西湖区 文三路 1号，310000", "13800001111",
            "13900002222", "文三路 1号", "");
        phones("telephone with an extension",
            "张三，13800001111，0571-88886666-802，浙江省 杭州市 西湖区 文三路 1号，310000", "13800001111",
            "0571-88886666-802", "文三路 1号", "");
        phones("room number after the street stays with it",
            "张三，13800001111，浙江省 杭州市 西湖区 文三路 7号，3-2-1201，310000", "13800001111", "",
            "文三路 7号3-2-1201", "");
        QTest::newRow("room number before the street is no telephone")
            << QStringLiteral("张三，3-2-1201，浙江省 杭州市 西湖区 路 1号，310000") << "YT1" << shipped
            << QStringList { "", "", "", "", "", "", "", "", "圆通", "YT1" } << "u";
        QTest::newRow("short number is no telephone")
            << QStringLiteral("张三，0571-8888，浙江省 杭州市 西湖区 路 1号，310000") << "YT1" << shipped
            << QStringList { "", "", "", "", "", "", "", "", "圆通", "YT1" } << "u";
        // A municipality followed by one of its districts, as "北京 北京市 朝阳区" reads.
        const auto place
            = [&](const char* name, const char* street, const QStringList& cells, const char* named) {
                  QTest::newRow(name)
                      << QStringLiteral("李四，13900001111，%1，200120").arg(QString::fromUtf8(street)) << "—"
                      << "买家已付款"
                      << QStringList { "李四", "13900001111", "" } + cells
                          + QStringList { "200120", "圆通", "" }
                      << named;
              };
        place("municipality, then its district", "上海市 浦东新区 世纪大道88号",
            { "上海市", "上海市", "浦东新区", "世纪大道88号" }, "");
        place("天津市, then its district", "天津市 和平区 南京路 100号",
            { "天津市", "天津市", "和平区", "南京路 100号" }, "");
        place("重庆, then its county", "重庆 城口县 葛城街道 8号",
            { "重庆", "重庆市", "城口县", "葛城街道 8号" }, "");
        place("municipality written twice", "北京市 北京市 朝阳区 建国路 1号",
            { "北京市", "北京市", "朝阳区", "建国路 1号" }, "");
        place("municipality, then no district", "上海市 世纪大道 88号", { "上海市", "世纪大道", "", "88号" },
            "c");
        place("municipality, then another's district", "上海市 和平区 南京路 1号",
            { "上海市", "和平区", "南京路", "1号" }, "c");
        place("雄安新区 as a city", "河北省 雄安新区 容城县 奥威路 8号",
            { "河北", "雄安新区", "容城县", "奥威路 8号" }, "");
        place("雄安新区 under 保定市", "河北省 保定市 雄安新区 奥威路 8号",
            { "河北", "保定市", "雄安新区", "奥威路 8号" }, "");
        place("三沙市 西沙区", "海南省 三沙市 西沙区 永兴岛 北京路 1号",
            { "海南", "三沙市", "西沙区", "永兴岛 北京路 1号" }, "");
        // Pieces run together are cut by the division list, a name written
        // twice read once; what the list cannot cut is named.
        place("run together, municipality twice", "上海市上海市宝山区友谊路101号",
            { "上海市", "上海市", "宝山区", "友谊路101号" }, "");
        place("run together, province", "浙江省杭州市西湖区文三路133号",
            { "浙江", "杭州市", "西湖区", "文三路133号" }, "");
        place("run together, short municipality", "重庆重庆市渝中区解放碑8号",
            { "重庆", "重庆市", "渝中区", "解放碑8号" }, "");
        place("run together, city named after its province", "吉林省吉林市船营区北京路1号",
            { "吉林", "吉林市", "船营区", "北京路1号" }, "");
        place("city's short name is its province's", "吉林省 吉林 船营区 北京路 1号",
            { "吉林", "吉林", "船营区", "北京路 1号" }, "");
        place("district named after its city", "江苏省 苏州市 苏州工业园区 星湖街 1号",
            { "江苏", "苏州市", "苏州工业园区", "星湖街 1号" }, "");
        place("run together, city unknown", "浙江省东海市西湖区文三路1号",
            { "浙江", "", "", "东海市西湖区文三路1号" }, "c");
        place("municipality three times", "北京市 北京市 北京市 朝阳区 建国路 1号",
            { "北京市", "北京市", "朝阳区", "建国路 1号" }, "");
        place("municipality's 市辖区 is the municipality", "北京市 市辖区 朝阳区 建国路 1号",
            { "北京市", "北京市", "朝阳区", "建国路 1号" }, "");
        place("province twice", "浙江省 浙江省 杭州市 西湖区 文三路 1号",
            { "浙江", "杭州市", "西湖区", "文三路 1号" }, "");
        place("road named after the province keeps its name", "山东省 山东路 1号",
            { "山东", "山东路", "", "1号" }, "c");
        // The names address pickers offer are everyday; a made-up one or an
        // old one is written as shown and to check.
        place("picker's development zone", "河北省 秦皇岛市 经济技术开发区 海滨路 1号",
            { "河北", "秦皇岛市", "经济技术开发区", "海滨路 1号" }, "");
        place("picker's zone named with its region",
            "内蒙古自治区 阿拉善盟 内蒙古阿拉善经济开发区 乌斯太镇 1号",
            { "内蒙古自治区", "阿拉善盟", "内蒙古阿拉善经济开发区", "乌斯太镇 1号" }, "");
        place("picker's 省直辖县, 湖北", "湖北省 省直辖县 潜江市 园林路 1号",
            { "湖北", "省直辖县", "潜江市", "园林路 1号" }, "");
        place("picker's 省直辖县, 海南", "海南省 省直辖县 琼中黎族苗族自治县 营根镇 1号",
            { "海南", "省直辖县", "琼中黎族苗族自治县", "营根镇 1号" }, "");
        place("another list's name for the level", "新疆 省直辖县 石河子市 北四路 1号",
            { "新疆", "省直辖县", "石河子市", "北四路 1号" }, "");
        place("made-up district", "浙江省 杭州市 火星区 文三路 1号",
            { "浙江", "杭州市", "火星区", "文三路 1号" }, "c");
        place("a county's old name", "广西壮族自治区 南宁市 横县 横州镇 1号",
            { "广西壮族自治区", "南宁市", "横县", "横州镇 1号" }, "c");
        QTest::newRow("shipped without a waybill line")
            << kFiveLine << "-" << shipped << QStringList(five.mid(0, 9)) + QStringList { "" } << "w";
        QTest::newRow("a waybill without its company line")
            << kFiveLine << "YT1" << shipped << QStringList(five.mid(0, 8)) + QStringList { "", "YT1" }
            << "u";
        QTest::newRow("waybill that is no waybill")
            << kFiveLine << "请登录查看" << shipped << QStringList(five.mid(0, 9)) + QStringList { "" }
            << "u";
    }
    void writesCheckedColumns()
    {
        QFETCH(QString, line);
        QFETCH(QString, waybill);
        QFETCH(QString, status);
        QFETCH(QStringList, columns);
        QFETCH(QString, named);
        TradeGrid grid;
        MakeGrid(grid, { "1" });
        FillOld(grid, 2);
        RecipientBlock block;
        block.addressLine = line;
        block.method = QStringLiteral("快递");
        block.company = QStringLiteral("圆通");
        if (QTest::currentDataTag() == QByteArray("a waybill without its company line"))
            block.company.reset();
        if (waybill != QStringLiteral("-"))
            block.waybill = waybill;
        const DetailFindings findings = WriteRecipientColumns(grid, 2, block, status);
        QCOMPARE(DetailColumns(grid, 2), columns);
        QString found;
        found += findings.unreadable ? "u" : "";
        found += findings.addressToCheck ? "c" : "";
        found += findings.shippedWithoutWaybill ? "w" : "";
        found += ReadAddressLine(line).maskedMobile ? "m" : "";
        QCOMPARE(found, named);
    }

    // Every parcel keeps its waybill, in the page's order, or the trade is
    // named and no waybill written.
    void everyParcelKeepsItsWaybill_data()
    {
        QTest::addColumn<QString>("logistics"); // the block after the address line
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("waybill");
        QTest::addColumn<bool>("named");
        QTest::newRow("lines repeated") << "物流公司名称：圆通 运单号：YT1 物流公司名称：中通 运单号：ZT2"
                                        << "圆通、中通"
                                        << "YT1、ZT2" << false;
        QTest::newRow("under headings")
            << "包裹1 物流公司名称：圆通 运单号：YT1 包裹2 物流公司名称：圆通 运单号：YT2"
            << "圆通、圆通"
            << "YT1、YT2" << false;
        QTest::newRow("one company, two waybills") << "物流公司名称：圆通 运单号：YT1 运单号：YT2"
                                                   << "圆通"
                                                   << "YT1、YT2" << false;
        QTest::newRow("second parcel without its waybill")
            << "包裹1 物流公司名称：圆通 运单号：YT1 包裹2 物流公司名称：中通"
            << ""
            << "" << true;
        QTest::newRow("two waybills in one line") << "物流公司名称：圆通 运单号：YT1 YT2 包裹2"
                                                  << ""
                                                  << "" << true;
        QTest::newRow("a parcel not yet shipped")
            << "物流公司名称：圆通 运单号：YT1 物流公司名称：— 运单号：—"
            << ""
            << "" << true;
    }
    void everyParcelKeepsItsWaybill()
    {
        QFETCH(QString, logistics);
        QFETCH(QString, company);
        QFETCH(QString, waybill);
        QFETCH(bool, named);
        const std::optional<RecipientBlock> block
            = FindRecipientBlock(QStringLiteral("收货和物流信息收货地址：%1 %2我对购买流程有意见或建议")
                                     .arg(kFiveLine, logistics));
        QVERIFY(block);
        TradeGrid grid;
        MakeGrid(grid, { "1" });
        FillOld(grid, 2);
        const DetailFindings findings = WriteRecipientColumns(grid, 2, *block, QStringLiteral("卖家已发货"));
        QCOMPARE(grid.TextMatrix(2, ColCompany), company);
        QCOMPARE(grid.TextMatrix(2, ColWaybill), waybill);
        QCOMPARE(findings.parcelsUnread, named);
        QCOMPARE(grid.TextMatrix(2, ColRecipient), QStringLiteral("张三"));
    }

    void companyThatLooksLikeAWaybillIsNotWritten()
    {
        TradeGrid grid;
        MakeGrid(grid, { "1" });
        RecipientBlock block;
        block.addressLine = kFiveLine;
        block.company = QStringLiteral("YT1234567890");
        const DetailFindings findings = WriteRecipientColumns(grid, 2, block, QStringLiteral("卖家已发货"));
        QCOMPARE(grid.TextMatrix(2, ColCompany), QString());
        QVERIFY(findings.unreadable);
    }

    void downloadsBottomUpAndCopiesToFurtherItems()
    {
        TradeGrid grid;
        // Rows 2-3 are from an earlier page; rows 4-7 are new.
        MakeGrid(grid, { "A1", "A1_1", "B2", "B2_1", "B2_2", "C3" });
        pages_.insert(TradeDetailAddress(run_->endpoints, "B2"),
            QStringLiteral("<dl><dt>买家留言：</dt><dd>a<br>b</dd></dl>")
                + DetailPage(kFiveLine, QStringLiteral("圆通"), QStringLiteral("Y1")));
        pages_.insert(TradeDetailAddress(run_->endpoints, "C3"),
            DetailPage(
                QStringLiteral("李四，13900002222，021-55556666，上海 上海市 浦东新区 世纪大道，200000"),
                QStringLiteral("顺丰"), QStringLiteral("S9")));
        grid.SetTextMatrix(2, ColRecipient, QStringLiteral("earlier"));
        DownloadTradeDetails(*run_, grid, 4, false, {}, *pass_);
        QCOMPARE(fetched_,
            (QStringList {
                TradeDetailAddress(run_->endpoints, "C3"), TradeDetailAddress(run_->endpoints, "B2") }));
        QCOMPARE(fetchArguments_, QStringList(2, QStringLiteral(">关于淘宝</|60")));
        QCOMPARE(grid.TextMatrix(7, ColRecipient), QStringLiteral("李四"));
        QCOMPARE(grid.TextMatrix(7, ColProvince), QStringLiteral("上海"));
        QCOMPARE(DetailColumns(grid, 5), DetailColumns(grid, 4));
        QCOMPARE(DetailColumns(grid, 6), DetailColumns(grid, 4));
        QCOMPARE(grid.TextMatrix(4, ColWaybill), QStringLiteral("Y1"));
        // The notes go with the detail columns; the record names the trade once.
        QCOMPARE(grid.TextMatrix(6, ColBuyerMessage), QStringLiteral("a\r\nb"));
        QCOMPARE(NoteRecordsOf(grid.TextMatrix(4, ColNoteRecord)),
            (QVector<TradeNotes> { { "B2", "a\r\nb", "" } }));
        QVERIFY(grid.TextMatrix(5, ColNoteRecord).isEmpty());
        QVERIFY(grid.TextMatrix(7, ColNoteRecord).isEmpty() && grid.TextMatrix(7, ColSellerMemo).isEmpty());
        // Continuation rows of earlier pages are refreshed too.
        QCOMPARE(grid.TextMatrix(3, ColRecipient), QStringLiteral("earlier"));
    }

    // The pass itself: every trade's outcome comes back in one value, the
    // progress hears only the pass's news (the queue first), and the ledger
    // learns nothing until the value is applied.
    void passReturnsOneValue()
    {
        TradeGrid grid;
        MakeGrid(grid, { "A1", "B2", "C3", "D4" });
        pages_.insert(TradeDetailAddress(run_->endpoints, "A1"),
            DetailPage(QStringLiteral("王五，138****5678，浙江省 杭州市 西湖区 文三路 1号，310000"),
                QStringLiteral("圆通"), QStringLiteral("Y1")));
        pages_.insert(TradeDetailAddress(run_->endpoints, "C3"),
            QStringLiteral("<HTML><BODY>充值成功<A href=\"/about\">关于淘宝</A></BODY></HTML>"));
        pages_.insert(TradeDetailAddress(run_->endpoints, "D4"),
            DetailPage(kFiveLine, QStringLiteral("圆通"), QStringLiteral("Y4")));
        // The seller deletes D4 while its page downloads.
        onFetch_ = [&](const QString& address) {
            if (address == TradeDetailAddress(run_->endpoints, "D4"))
                grid.SetRows(grid.Rows() - 1);
        };
        run_->details.RememberFailed("A1");
        QStringList news;
        int finished = 0;
        const DetailFetchInputs inputs { .fetcher = run_->fetcher,
            .endpoints = run_->endpoints,
            .downloadsAtOnce = 2,
            .history = nullptr,
            .useHistory = false,
            .orders = { "A1", "B2", "C3", "D4" },
            .stop = {},
            .tellOutage = false };
        const DetailFetch fetch = FetchDetails(inputs, grid, *pass_, [&](const DetailFetchNews& item) {
            if (item.allQueued)
                news.append(QStringLiteral("queued"));
            if (item.finished > 0)
                news.append(QStringLiteral("finished"));
            finished += item.finished;
        });
        QCOMPARE(news.value(0), QStringLiteral("queued"));
        QCOMPARE(news.count(QStringLiteral("queued")), 1);
        QCOMPARE(finished, 4);
        QVERIFY(!view_->loaded && view_->percentHistory.isEmpty());
        QCOMPARE(run_->details.FailedOrders(), QStringList { "A1" });
        QVERIFY(run_->details.PendingFindings().IsEmpty());

        QCOMPARE(fetch.written, (QStringList { "A1", "C3" }));
        QCOMPARE(fetch.failed, QStringList { "B2" });
        QVERIFY(fetch.timedOut.isEmpty());
        QCOMPARE(fetch.gone, QStringList { "D4" });
        QVERIFY(fetch.fromHistory.isEmpty());
        QCOMPARE(grid.TextMatrix(grid.FixedRows(), ColWaybill), QStringLiteral("Y1"));
        QCOMPARE(fetch.findings.Trades(), (QStringList { "A1", "C3" }));
        QVERIFY(fetch.sawShippingSection);
        QVERIFY(!fetch.sessionEnded && !fetch.sawLoginPage);

        ApplyDetailFetch(run_->details, fetch);
        QCOMPARE(run_->details.FailedOrders(), QStringList { "B2" });
        QCOMPARE(run_->details.PendingFindings().All().size(), fetch.findings.All().size());
    }

    void continuationWithoutTradeRowKeepsItsValues()
    {
        TradeGrid grid;
        MakeGrid(grid, { "X9_1" });
        FillOld(grid, 2);
        DownloadTradeDetails(*run_, grid, 1, false, {}, *pass_);
        QVERIFY(fetched_.isEmpty());
        QCOMPARE(DetailColumns(grid, 2), QStringList(10, kOld));
    }

    void pageWithoutBlockWritesNothing_data()
    {
        QTest::addColumn<QString>("page"); // empty: the download fails
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("severity"); // of the finding; -1 for none
        QTest::addColumn<bool>("sectionSeen"); // another trade of the run has its section
        const QString virtualPage
            = QStringLiteral("<P>充值成功</P><P>我对购买流程有意见或建议</P><A>关于淘宝</A>");
        QTest::newRow("download failed") << QString() << "交易成功" << true << -1 << false;
        QTest::newRow("virtual goods: no section, a note")
            << virtualPage << "交易成功" << false << int(FindingSeverity::Note) << false;
        QTest::newRow("waiting to ship without a recipient: refused")
            << virtualPage << "买家已付款" << false << int(FindingSeverity::Refused) << false;
        // Without a history, a parcel on its way tells a renamed section;
        // a trade received may be a top-up, delivered at once.
        const QString renamed = QString(DetailPage(kFiveLine, "c", "w"))
                                    .replace(QStringLiteral("收货地址："), QStringLiteral("收货人信息："));
        QTest::newRow("renamed label, shipped, in a shop the history knows nothing of")
            << renamed << "卖家已发货" << false << int(FindingSeverity::ToCheck) << false;
        QTest::newRow("renamed label, received, in a shop the history knows nothing of")
            << renamed << "交易成功" << false << int(FindingSeverity::Note) << false;
        // A parcel on its way has a section, whatever the other pages show.
        QTest::newRow("no section, shipped, other trades with theirs")
            << virtualPage << "卖家已发货" << false << int(FindingSeverity::ToCheck) << true;
        QTest::newRow("no section, received, other trades with theirs")
            << virtualPage << "交易成功" << false << int(FindingSeverity::Note) << true;
    }
    void pageWithoutBlockWritesNothing()
    {
        QFETCH(QString, page);
        QFETCH(QString, status);
        QFETCH(bool, failed);
        QFETCH(int, severity);
        QFETCH(bool, sectionSeen);
        TradeGrid grid;
        MakeGrid(grid, sectionSeen ? QStringList { "71", "71_1", "72" } : QStringList { "71", "71_1" });
        FillOld(grid, 2);
        grid.SetTextMatrix(2, ColStatus, status);
        if (!page.isEmpty())
            pages_.insert(TradeDetailAddress(run_->endpoints, "71"), page);
        if (sectionSeen)
            pages_.insert(TradeDetailAddress(run_->endpoints, "72"), DetailPage(kFiveLine, "圆通速递", "YT123"));
        DownloadTradeDetails(*run_, grid, sectionSeen ? 3 : 2, false, {}, *pass_);
        QCOMPARE(DetailColumns(grid, 2), QStringList(10, kOld));
        QCOMPARE(DetailColumns(grid, 3), QStringList(10, kOld));
        // A whole page without the block is named, not fetched again.
        const DetailShortfall shortfall = FinishDetailDownloads(*run_, grid, true, *pass_);
        QCOMPARE(fetched_.size(), (failed ? 2 : 1) + (sectionSeen ? 1 : 0));
        QCOMPARE(shortfall.failed, failed ? QStringList { "71" } : QStringList());
        QCOMPARE(shortfall.findings.All().size(), severity < 0 ? 0 : 1);
        if (severity >= 0) {
            QCOMPARE(shortfall.findings.All().first().orderNumber, QStringLiteral("71"));
            QCOMPARE(int(shortfall.findings.All().first().severity), severity);
        } else {
            QVERIFY(DetailShortfallMessage(shortfall).contains(QStringLiteral("订单编号 71")));
        }
        // Named once; a failed trade stays remembered for a later page.
        QCOMPARE(FinishDetailDownloads(*run_, grid, false, *pass_).failed, shortfall.failed);
        QVERIFY(FinishDetailDownloads(*run_, grid, false, *pass_).findings.IsEmpty());
    }

    void failedDownloadDoesNotReusePreviousPage()
    {
        TradeGrid grid;
        MakeGrid(grid, { "N1", "OK2" });
        pages_.insert(TradeDetailAddress(run_->endpoints, "OK2"),
            DetailPage(kFiveLine, QStringLiteral("c"), QStringLiteral("W1")));
        DownloadTradeDetails(*run_, grid, 2, false, {}, *pass_);
        QCOMPARE(grid.TextMatrix(3, ColRecipient), QStringLiteral("张三"));
        QCOMPARE(grid.TextMatrix(2, ColRecipient), QString());
    }

    void addressIsPercentEncoded()
    {
        TradeGrid grid;
        MakeGrid(grid, { "12 34&x=1" });
        DownloadTradeDetails(*run_, grid, 1, false, {}, *pass_);
        QCOMPARE(fetched_,
            QStringList {
                "http://trade.example/trade/detail/trade_item_detail.htm?bizOrderId=12%2034%26x%3D1" });
    }

    void rowCountBeyondDataRowsStaysOutOfHeader()
    {
        TradeGrid grid;
        MakeGrid(grid, { "R1" });
        DownloadTradeDetails(*run_, grid, 10, false, {}, *pass_);
        QCOMPARE(fetched_.size(), 1);
        QCOMPARE(grid.TextMatrix(1, ColRecipient), QStringLiteral("收件人"));
        QCOMPARE(grid.TextMatrix(1, ColProvince), QStringLiteral("省"));
    }

    void progress_data()
    {
        QTest::addColumn<bool>("showProgress");
        QTest::newRow("single page shows progress") << true;
        QTest::newRow("page walk leaves its window") << false;
    }
    void progress()
    {
        QFETCH(bool, showProgress);
        TradeGrid grid;
        MakeGrid(grid, { "P1", "P1_1", "P2" });
        StartProgress(run_->progress, QStringLiteral("walk"), 500, 0);
        const int loadsBefore = view_->loads;
        DownloadTradeDetails(*run_, grid, 3, showProgress, {}, *pass_);
        if (showProgress) {
            QCOMPARE(view_->message, QStringLiteral("正在下载物流信息...."));
            QCOMPARE(run_->progress.State().total, 3);
            QCOMPARE(run_->progress.State().position, 2);
            QVERIFY(!view_->loaded);
        } else {
            QCOMPARE(view_->message, QStringLiteral("walk"));
            QCOMPARE(run_->progress.State().position, 0);
            QVERIFY(view_->loaded);
            QCOMPARE(view_->loads, loadsBefore);
        }
    }

    void downloadsGbkPageOverHttp()
    {
        const QByteArray body
            = EncodeAnsi(DetailPage(kFiveLine, QStringLiteral("韵达快递"), QStringLiteral("YD77")));
        testweb::LocalHttpServer server([&body](const QByteArray&, const QByteArray&) {
            return testweb::HttpResponse(body, "text/html; charset=GBK");
        });
        QVERIFY(server.port() != 0);
        BuildRun(server.base());
        run_->fetcher.UseStandIn({});
        TradeGrid grid;
        MakeGrid(grid, { "987654321", "987654321_1" });
        DownloadTradeDetails(*run_, grid, 2, false, {}, *pass_);
        QCOMPARE(server.requestCount(), 1);
        QVERIFY(server.heads().first().startsWith(
            "GET /trade/detail/trade_item_detail.htm?bizOrderId=987654321&Time="));
        const QStringList expected { "张三", "13800001111", "0571-88886666", "浙江", "杭州市", "西湖区",
            "文三路 1号", "310000", "韵达快递", "YD77" };
        QCOMPARE(DetailColumns(grid, 2), expected);
        QCOMPARE(DetailColumns(grid, 3), expected);
    }

    void resultGoesToTheRowHoldingItsOrderNumber_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("four at a time") << 4;
    }
    void resultGoesToTheRowHoldingItsOrderNumber()
    {
        QFETCH(int, limit);
        BuildRun(QStringLiteral("http://trade.example"), nullptr, limit);
        TradeGrid grid;
        MakeGrid(grid, { "OLD", "A1", "B2", "B2_1", "C3" });
        for (const char* order : { "A1", "B2", "C3" })
            pages_.insert(TradeDetailAddress(run_->endpoints, order),
                DetailPage(QStringLiteral("%1，13800001111，，浙江省 杭州市 西湖区 路，310000").arg(order),
                    QStringLiteral("c"), QString::fromLatin1(order)));
        // While the first page downloads, the user deletes the row above
        // the new ones: every new row moves up by one.
        onFetch_ = [&](const QString& address) {
            if (address == TradeDetailAddress(run_->endpoints, "C3"))
                grid.RemoveRowsSorted({ 2 });
        };
        DownloadTradeDetails(*run_, grid, 4, false, {}, *pass_);
        for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
            const QString order = grid.TextMatrix(row, ColOrderNumber);
            QCOMPARE(grid.TextMatrix(row, ColRecipient), order.section(QLatin1Char('_'), 0, 0));
            QCOMPARE(grid.TextMatrix(row, ColWaybill), order.section(QLatin1Char('_'), 0, 0));
        }
        QVERIFY(run_->details.FailedOrders().isEmpty());
    }

    void failedTradesFetchedAgainAndNamed_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("second try succeeds") << 1 << QStringList();
        QTest::newRow("still failing") << 2 << QStringList { "C3", "B2" };
    }
    void failedTradesFetchedAgainAndNamed()
    {
        QFETCH(int, failures);
        QFETCH(QStringList, named);
        TradeGrid grid;
        MakeGrid(grid, { "A1", "B2", "B2_1", "C3" });
        const QString page = DetailPage(kFiveLine, QStringLiteral("c"), QStringLiteral("W1"));
        pages_.insert(TradeDetailAddress(run_->endpoints, "A1"), page);
        QHash<QString, int> fetches;
        onFetch_ = [&](const QString& address) {
            if (++fetches[address] > failures)
                pages_.insert(address, page);
        };
        DownloadTradeDetails(*run_, grid, 4, false, {}, *pass_);
        QCOMPARE(run_->details.FailedOrders(), (QStringList { "C3", "B2" }));
        QVERIFY(prompt_.messages.isEmpty());

        const DetailShortfall shortfall = FinishDetailDownloads(*run_, grid, true, *pass_);
        QCOMPARE(shortfall.failed, named);
        QCOMPARE(fetches.value(TradeDetailAddress(run_->endpoints, "B2")), 2);
        QCOMPARE(fetches.value(TradeDetailAddress(run_->endpoints, "A1")), 1);
        const QString recipient = named.isEmpty() ? QStringLiteral("张三") : QString();
        QCOMPARE(grid.TextMatrix(3, ColRecipient), recipient);
        QCOMPARE(grid.TextMatrix(4, ColRecipient), recipient);
        QCOMPARE(grid.TextMatrix(5, ColRecipient), recipient);
        // The caller tells the user, once its progress window has closed.
        QVERIFY(prompt_.messages.isEmpty());
        if (named.isEmpty())
            return;
        QCOMPARE(DetailShortfallMessage(shortfall), FailedDetailsMessage(named));
        QVERIFY(FailedDetailsMessage(named).contains(QStringLiteral("2 笔交易")));
        QVERIFY(FailedDetailsMessage(named).contains(QStringLiteral("C3、B2")));
        // A trade deleted since is forgotten rather than named.
        grid.RemoveRowsSorted({ 3, 4 });
        QCOMPARE(FinishDetailDownloads(*run_, grid, false, *pass_).failed, QStringList { "C3" });
    }

    // A trade whose last download ran out of time is named as a time-out,
    // not as a network failure; a later failure of another kind, or its
    // arrival, ends that.
    void timedOutTradesNamedApart_data()
    {
        QTest::addColumn<bool>("lastTimedOut");
        QTest::newRow("stalled") << true;
        QTest::newRow("stalled, then no answer") << false;
    }
    void timedOutTradesNamedApart()
    {
        QFETCH(bool, lastTimedOut);
        DetailLedger ledger;
        ledger.RememberFailed("A1");
        ledger.RememberFailed("B2", true);
        if (!lastTimedOut)
            ledger.RememberFailed("B2");
        DetailShortfall shortfall;
        shortfall.failed = ledger.FailedOrders();
        shortfall.timedOut = ledger.TimedOutAmong(shortfall.failed);
        const QStringList timedOut = lastTimedOut ? QStringList { "B2" } : QStringList();
        const QStringList network = lastTimedOut ? QStringList { "A1" } : QStringList { "A1", "B2" };
        QCOMPARE(shortfall.timedOut, timedOut);
        QCOMPARE(DetailShortfallMessage(shortfall),
            JoinParagraphs({ FailedDetailsMessage(network), TimedOutDetailsMessage(timedOut) }));
        QVERIFY(TimedOutDetailsMessage({ "B2" }).contains(QStringLiteral("详情页下载超时")));
        ledger.ForgetFailed("B2");
        QVERIFY(ledger.TimedOutAmong({ "B2" }).isEmpty());
    }

    void failedTradesListedOnAPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("header cell") << QStringLiteral(
            "<TD>订单编号：123 成交时间：x</TD><TD>订单编号：45</TD>")
                                     << QStringList { "123", "45" };
        QTest::newRow("only inside longer numbers")
            << QStringLiteral("订单编号：91234 订单编号：456") << QStringList();
        QTest::newRow("not on the page") << QStringLiteral("订单编号：777") << QStringList();
    }
    void failedTradesListedOnAPage()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, listed);
        run_->details.RememberFailed(QStringLiteral("123"));
        run_->details.RememberFailed(QStringLiteral("45"));
        QCOMPARE(run_->details.FailedListedIn(page), listed);
    }

    void closedWalkWindowLeavesNoRequestBehind()
    {
        // A trade host that accepts and never answers.
        testweb::LocalHttpServer silent([](const QByteArray&, const QByteArray&) { return QByteArray(); });
        BuildRun(silent.url(QString()), nullptr, 4);
        run_->fetcher.UseStandIn({});
        TradeGrid grid;
        MakeGrid(grid, { "S1", "S2", "S3", "S4", "S5", "S6" });
        FillOld(grid, 7);
        StartProgress(run_->progress, QStringLiteral("walk"), 500, 0);
        QTimer::singleShot(300, this, [this] { view_->UserCloses(); });
        DownloadTradeDetails(*run_, grid, 6, false, {}, *pass_);
        QVERIFY(!ProgressWindowOpen(run_->progress));
        // Four were asked for, none was answered; all six are left to fetch again.
        QVERIFY(WaitUntil([&] { return silent.requestCount() == 4; }, 5000));
        QCOMPARE(run_->details.FailedOrders(), (QStringList { "S6", "S5", "S4", "S3", "S2", "S1" }));
        // Nothing writes into the grid afterwards, and no request is made.
        WaitUntil([] { return false; }, 300);
        QCOMPARE(silent.requestCount(), 4);
        QCOMPARE(DetailColumns(grid, 7), QStringList(10, kOld));
    }

private:
    std::function<void(const QString& address)> onFetch_;
    standin::RecordingPrompt prompt_;
    std::optional<RecordingProgressView> view_;
    std::optional<RunContext> run_;
    // The pass every download of a test shares, as one command's pages do.
    std::optional<DetailDownloadPass> pass_;
    QStringList fetched_;
    QStringList fetchArguments_;
    QHash<QString, QString> pages_;
};

LUMETRA_TEST_GUILESS_MAIN(TestTradeDetails)
#include "TestTradeDetails.moc"
