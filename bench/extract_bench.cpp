// Throughput of the list parser and the address line reader, and the
// recipient merge and the closed-trade filter on large grids against their
// straightforward forms.
// Prints "name value unit" lines. The straightforward forms run on 20,000
// rows; "--full" runs them on 40,000 rows too (minutes); "--parser-only"
// runs only the parser.

#include "support/DemoListPage.h"
#include "support/PlainListParser.h"
#include "support/StandIns.h"
#include "support/StepByStepMerge.h"
#include "support/TestSupport.h"

#include "core/downloads/DetailDownloadPass.h"
#include "core/extract/AddressLine.h"
#include "core/extract/ListParser.h"
#include "core/grid/GridOperations.h"
#include "core/grid/GridSetup.h"
#include "core/grid/RecipientMerge.h"
#include "core/grid/TradeGrid.h"
#include "core/network/BrowserPage.h"
#include "core/network/PageFetchJob.h"
#include "core/network/PageFetcher.h"
#include "core/session/PageExtraction.h"
#include "core/session/RunContext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

namespace {

const QString kClosed = QStringLiteral("交易关闭");

// A list page of `trades` trades in the browser's serialized form, shaped
// like the marketplace's: one body per trade, one to three items each.
QString ListPage(int trades, int pageNumber, QRandomGenerator& random)
{
    QString html = QStringLiteral(
        "\r\n<THEAD>\r\n<TR><TH>宝贝</TH><TH>单价(元)</TH><TH>数量</TH><TH>售后</TH>"
        "<TH>买家</TH><TH>交易状态</TH><TH>实收款(元)</TH><TH>评价</TH></TR>\r\n</THEAD>\r\n");
    for (int t = 0; t < trades; ++t) {
        const QString order = QStringLiteral("%1%2").arg(3000000000000000ll + pageNumber * 1000 + t);
        const int items = 1 + int(random.bounded(3));
        html += QStringLiteral(
            "<TBODY class=\"trade\" data-order=\"%1\">\r\n<TR class=\"sep-row\"><TD colspan=\"8\"></TD>"
            "</TR>\r\n<TR class=\"order-hd\"><TD colspan=\"8\"><LABEL class=\"order-id\">订单编号："
            "<SPAN>%1</SPAN></LABEL> <SPAN class=\"deal-time\">成交时间：2024-05-%2 12:%3:00</SPAN>"
            "</TD></TR>\r\n")
                    .arg(order)
                    .arg(1 + t % 28, 2, 10, QLatin1Char('0'))
                    .arg(t % 60, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < items; ++i) {
            html += QStringLiteral(
                "<TR class=\"order-item\">\r\n<TD class=\"item\"><A href=\"/trade/detail/"
                "trade_item_detail.htm?bizOrderId=%1\" target=\"_blank\">纯棉 短袖T恤 男款</A> "
                "<SPAN class=\"snapshot\">[交易快照]</SPAN></TD>\r\n<TD class=\"price\">%2.50</TD>\r\n"
                "<TD class=\"num\">%3</TD>\r\n<TD class=\"after-sale\">退款中<BR><A class=\"complain\" "
                "href=\"#\">投诉维权</A></TD>\r\n")
                        .arg(order)
                        .arg(10 + i)
                        .arg(1 + i);
            if (i == 0)
                html += QStringLiteral(
                    "<TD class=\"buyer\" rowspan=\"%1\"><P class=\"buyer-nick\">buyer%2</P> "
                    "<P class=\"buyer-name\">张三</P> <A class=\"ww\" href=\"#\">旺旺在线</A></TD>\r\n"
                    "<TD class=\"status\" rowspan=\"%1\"><P>卖家已发货</P> <A href=\"#\">详情</A></TD>\r\n"
                    "<TD class=\"amount\" rowspan=\"%1\"><STRONG>36.00</STRONG> <P class=\"post-fee\">"
                    "(含快递:6.00)</P></TD>\r\n<TD class=\"rating\" rowspan=\"%1\">双方已评</TD>\r\n")
                            .arg(items)
                            .arg(t);
            html += QStringLiteral("</TR>\r\n");
        }
        html += QStringLiteral("</TBODY>\r\n");
    }
    return html;
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.6g %s\n", name, value, unit);
}

// The sold-items list pages of the demo marketplace's shop, as the browser
// gives the list table; empty when the marketplace does not start.
QVector<QString> DemoTables(int pages, int perPage)
{
    if (qEnvironmentVariableIsEmpty("LUMETRA_DEMO_MARKET"))
        qputenv("LUMETRA_DEMO_MARKET", LUMETRA_DEMO_MARKET_PATH);
    testsupport::DemoMarket market(
        { QStringLiteral("--pages"), QString::number(pages), QStringLiteral("--per-page"),
            QString::number(perPage), QStringLiteral("--seed"), QStringLiteral("99") });
    QVector<QString> tables;
    if (!market.ok())
        return tables;
    QNetworkAccessManager manager;
    demolist::Get(manager, market.url(QStringLiteral("/member/login.jhtml?TPL_username=bench")));
    demolist::DemoListPage page(manager, market.base());
    for (int p = 0; p < pages; ++p) {
        tables.append(page.ElementInnerHtml(QStringLiteral("J_ListTable")));
        page.FindLinkInPage(QStringLiteral("下一页"), true, QStringLiteral("A"));
    }
    return tables;
}

// Time, in seconds, of step run over the pages in order on a fresh grid.
// Each page counts with its best time over the rounds, so that other work
// on the machine shows as little as possible.
template <typename Page, typename Step> double BestPass(const QVector<Page>& pages, Step step)
{
    QVector<double> best(pages.size(), 1e300);
    for (int round = 0; round < 60; ++round) {
        TradeGrid grid;
        SetUpTradeGrid(grid);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QElapsedTimer timer;
            timer.start();
            step(grid, pages.at(p));
            best[p] = std::min(best.at(p), timer.nsecsElapsed() / 1e9);
        }
    }
    return std::accumulate(best.cbegin(), best.cend(), 0.0);
}

// The list parse (rows cut, cells cleaned, rows appended, order numbers
// looked up) against its plain form, and the whole ExtractTradePage around
// it, with detail fetches that return at once. Sizes are in bytes of UTF-8,
// the form in which the pages travel.
// What the parse costs the grid alone: each page's rows, as the parser
// leaves them, appended one by one, looked up and written cell by cell
// through the grid's interface.
double GridWrites(const QVector<QString>& pages)
{
    TradeGrid parsed;
    SetUpTradeGrid(parsed);
    QVector<std::pair<int, int>> pageRows; // first row, end row
    for (const QString& text : pages) {
        const int first = parsed.Rows();
        ParseListTable(parsed, text);
        pageRows.append({ first, parsed.Rows() });
    }
    return BestPass(pageRows, [&parsed](TradeGrid& grid, const std::pair<int, int>& rows) {
        for (int r = rows.first; r < rows.second; ++r) {
            grid.SetRows(grid.Rows() + 1);
            grid.FindOrderRow(parsed.TextMatrix(r, ColOrderNumber));
            for (int c = ColSequence; c <= ColRating; ++c) {
                const QString& text = parsed.TextMatrix(r, c);
                grid.SetTextMatrix(r, c, QString(text.constData(), text.size()));
            }
        }
    });
}

void BenchParser(const char* name, const QVector<QString>& pages, int tradesPerPage)
{
    if (pages.isEmpty()) {
        std::printf("# %s: no pages\n", name);
        return;
    }
    qint64 bytes = 0;
    for (const QString& text : pages)
        bytes += text.toUtf8().size();
    const double parse
        = BestPass(pages, [](TradeGrid& grid, const QString& text) { ParseListTable(grid, text); });
    const double plain = BestPass(
        pages, [](TradeGrid& grid, const QString& text) { plainlist::ParseListTable(grid, text); });
    RunContext run;
    run.fetcher.UseStandIn([](const QString&, const QString&, int) {
        return FetchResult { FetchStatus::Arrived, QString() };
    });
    standin::ScriptedPage page;
    const double extract = BestPass(pages, [&page, &run](TradeGrid& grid, const QString& text) {
        page.table = text;
        DetailDownloadPass pass;
        (void)ExtractTradePage(run, page, grid, true, pass);
    });
    const std::string prefix = std::string("extract_parser_") + name;
    const double perPage = double(pages.size());
    Print((prefix + "_page_size").c_str(), double(bytes) / perPage / 1000.0, "KB");
    Print((prefix + "_throughput").c_str(), double(bytes) / parse / 1e6, "MB/s");
    Print((prefix + "_plain_throughput").c_str(), double(bytes) / plain / 1e6, "MB/s");
    Print((prefix + "_speedup").c_str(), plain / parse, "x");
    Print((prefix + "_parse_per_page").c_str(), parse / perPage * 1e3, "ms");
    Print((prefix + "_parse_per_trade").c_str(), parse / (perPage * tradesPerPage) * 1e6, "us");
    Print((prefix + "_grid_writes_per_page").c_str(), GridWrites(pages) / perPage * 1e3, "ms");
    Print((prefix + "_extract_page_per_page").c_str(), extract / perPage * 1e3, "ms");
}

// A grid of shipped items: recipients repeat (one to four rows each,
// scattered over the grid), a share of the trades is closed.
void FillTradeGrid(TradeGrid& grid, int rows, quint32 seed)
{
    QRandomGenerator random(seed);
    SetUpTradeGrid(grid);
    grid.SetRows(grid.FixedRows() + rows);
    const int recipients = rows * 2 / 5;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        const int who = int(random.bounded(recipients));
        const int n = r - grid.FixedRows();
        grid.SetTextMatrix(r, ColSequence, QString::number(n + 1));
        grid.SetTextMatrix(r, ColOrderNumber, QStringLiteral("40000000%1").arg(n));
        grid.SetTextMatrix(r, ColTime, QStringLiteral("2024-06-01 10:00:%1").arg(n % 60));
        grid.SetTextMatrix(r, ColItem, QStringLiteral("商品%1").arg(random.bounded(50)));
        grid.SetTextMatrix(r, ColUnitPrice, QStringLiteral("12.50"));
        grid.SetTextMatrix(r, ColQuantity, QStringLiteral("1"));
        grid.SetTextMatrix(r, ColBuyer, QStringLiteral("buyer%1").arg(who));
        grid.SetTextMatrix(r, ColName, QStringLiteral("姓名%1").arg(who));
        grid.SetTextMatrix(r, ColStatus, random.bounded(7) == 0 ? kClosed : QStringLiteral("卖家已发货"));
        grid.SetTextMatrix(r, ColAmount, QStringLiteral("19.00"));
        grid.SetTextMatrix(r, ColRating, QStringLiteral("双方已评"));
        grid.SetTextMatrix(r, ColRecipient, QStringLiteral("收件人%1").arg(who));
        grid.SetTextMatrix(r, ColMobile, QStringLiteral("138%1").arg(10000000 + who));
        grid.SetTextMatrix(r, ColProvince, QStringLiteral("浙江"));
        grid.SetTextMatrix(r, ColCity, QStringLiteral("杭州市"));
        grid.SetTextMatrix(r, ColDistrict, QStringLiteral("西湖区"));
        grid.SetTextMatrix(r, ColAddress, QStringLiteral("文三路 %1号").arg(who));
        grid.SetTextMatrix(r, ColPostcode, QStringLiteral("310000"));
        grid.SetTextMatrix(r, ColCompany, QStringLiteral("圆通速递"));
        grid.SetTextMatrix(r, ColWaybill, QStringLiteral("YT%1").arg(who));
    }
}

template <typename Operation> double TimeOn(int rows, Operation operation)
{
    TradeGrid grid;
    FillTradeGrid(grid, rows, 5);
    QElapsedTimer timer;
    timer.start();
    operation(grid);
    return timer.nsecsElapsed() / 1e6;
}

void FilterStepByStep(TradeGrid& grid)
{
    for (int r = grid.Rows() - 1; r >= grid.FixedRows(); --r)
        if (grid.TextMatrix(r, ColStatus) == kClosed)
            DeleteRows(grid, r, r);
}

void FilterLinear(TradeGrid& grid)
{
    grid.RemoveRowsWhere([&grid](int r) { return grid.TextMatrix(r, ColStatus) == kClosed; });
}

void BenchGridOperations(bool full)
{
    for (const int rows : { 20000, 40000 }) {
        const bool reference = full || rows == 20000;
        const QByteArray size = QByteArray::number(rows);
        const double merge = TimeOn(rows, [](TradeGrid& g) {
            Progress progress;
            MergeSameRecipient(progress, g);
        });
        Print(("extract_merge_" + size).constData(), merge, "ms");
        if (reference) {
            const double slow = TimeOn(rows, [](TradeGrid& g) { stepbystep::MergeSameRecipient(g); });
            Print(("extract_merge_stepbystep_" + size).constData(), slow, "ms");
            Print(("extract_merge_speedup_" + size).constData(), slow / merge, "x");
        }
        const double filter = TimeOn(rows, FilterLinear);
        Print(("extract_closed_filter_" + size).constData(), filter, "ms");
        if (reference) {
            const double slow = TimeOn(rows, FilterStepByStep);
            Print(("extract_closed_filter_stepbystep_" + size).constData(), slow, "ms");
            Print(("extract_closed_filter_speedup_" + size).constData(), slow / filter, "x");
        }
    }
    // One shipment of every row: the joined cells grow long.
    const double single = TimeOn(40000, [](TradeGrid& g) {
        for (int r = g.FixedRows(); r < g.Rows(); ++r)
            for (const int col : stepbystep::kKeys)
                g.SetTextMatrix(r, col, QString());
        Progress progress;
        MergeSameRecipient(progress, g);
    });
    Print("extract_merge_one_group_40000", single, "ms");
}

} // namespace

// Address lines per second, one for every county an address picker offers,
// with blanks between province, city and district and run together: the
// reader cuts both by table look-ups, so their ratio stays near 1.
void BenchAddressLines()
{
    QFile file(QStringLiteral(":/lumetra/address/divisions-picker.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QStringList spaced;
    QStringList together;
    QString province;
    QString city;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (!line.startsWith(u'\t'))
            province = line;
        else if (!line.startsWith(QStringLiteral("\t\t")))
            city = line.mid(1);
        else {
            const QString pieces = QStringLiteral("张三，13800001111，%1，310000");
            spaced << pieces.arg(
                QStringList { province, city, line.mid(2), QStringLiteral("文三路 1号") }.join(u' '));
            together << pieces.arg(province + city + line.mid(2) + QStringLiteral("文三路1号"));
        }
    }
    const auto rate = [](const QStringList& lines) {
        constexpr int kRounds = 20;
        int checked = 0;
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < kRounds; ++round) {
            for (const QString& line : lines)
                checked += ReadAddressLine(line).divisionsToCheck ? 1 : 0;
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        return std::pair { lines.size() * kRounds / seconds, checked };
    };
    rate(spaced); // the division lists load on first use
    const auto [spacedRate, spacedChecked] = rate(spaced);
    const auto [togetherRate, togetherChecked] = rate(together);
    Print("address_lines_spaced", spacedRate, "lines/s");
    Print("address_lines_run_together", togetherRate, "lines/s");
    Print("address_lines_run_together_vs_spaced", togetherRate / spacedRate, "x");
    Print("address_lines_to_check", spacedChecked + togetherChecked, "lines");
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool full = app.arguments().contains(QStringLiteral("--full"));
    QRandomGenerator random(11);
    QVector<QString> synthetic;
    for (int p = 0; p < 10; ++p)
        synthetic.append(ListPage(100, p, random));
    BenchParser("synthetic", synthetic, 100);
    BenchParser("demo", DemoTables(10, 100), 100);
    BenchAddressLines();
    if (!app.arguments().contains(QStringLiteral("--parser-only")))
        BenchGridOperations(full);
    return 0;
}
