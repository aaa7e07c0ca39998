#include "E2eSupport.h"
#include "support/DemoTruth.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include "core/base/UserPrompt.h"
#include "core/export/SaveDialog.h"
#include "core/grid/GridSetup.h"
#include "core/grid/TradeGrid.h"
#include "core/network/PageFetchJob.h"
#include "core/progress/Progress.h"
#include "core/progress/RecordingProgressView.h"
#include "core/session/Commands.h"
#include "core/settings/SettingsStore.h"
#include "core/text/AnsiCodec.h"
#include "core/text/TextHelpers.h"
#include "core/update/UpdateCheck.h"
#include "core/update/UpdateHost.h"
#include "gui/grid/TradeGridView.h"
#include "gui/window/FindingsPane.h"
#include "gui/window/SplitterBar.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTcpServer>
#include <QTimer>

namespace {

using standin::RecordingPrompt;
using standin::ScriptedSaveDialog;

using demotruth::ExpectedRows;

QList<QStringList> GridRows(const TradeGrid& grid)
{
    QList<QStringList> rows;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        QStringList row;
        for (int c = 1; c <= 22; ++c)
            row.append(grid.TextMatrix(r, c));
        rows.append(row);
    }
    return rows;
}

// The fields of one CSV line, quotes undone, without the TAB the writer
// puts after every cell.
QStringList CsvFields(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted && c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    for (QString& f : fields)
        if (f.endsWith(u'\t'))
            f.chop(1);
    return fields;
}

// Counts the mouse presses that reach a widget.
class PressCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
    int presses = 0;
};

void ClickButton(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

QJsonObject ReadTruth(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

void StoreSetting(const char* key, const QString& value)
{
    testsupport::StoreSetting(QString::fromLatin1(key), value);
}

QString StoredSetting(const char* key)
{
    return GetRegSetting(QString::fromLatin1(kSettingsApp), QString::fromLatin1(kSettingsSection),
        QString::fromLatin1(key), QStringLiteral("<none>"));
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void extractAllMergeAndExport_data();
    void extractAllMergeAndExport();
    void currentPageAndGridCommands();
    void commandsWaitWhileExtractAllRuns();
    void settingsRestoredAtNextStart();
    void updateCheckAgainstDownloadPage_data();
    void updateCheckAgainstDownloadPage();

private:
    // A window on the demo marketplace, its program ending recorded.
    // The window owned by the test's run; a second call starts a new one.
    MainWindow* OpenWindow(const Endpoints& endpoints, WindowCollaborators collaborators = {});
    SharedCookieJar& Jar() { return windowRun_->run.fetcher.CookieJar(); }
    Progress& RunProgress() { return windowRun_->run.progress; }

    RecordingProgressView progress_;
    RecordingPrompt prompt_ { true };
    std::unique_ptr<e2e::WindowRun> windowRun_;
};

void TestEndToEnd::init()
{
    progress_ = RecordingProgressView();
    prompt_.Clear();
    prompt_.answer = true;
    StoreSetting("CHK_0", QStringLiteral("0"));
    StoreSetting("CHK_1", QStringLiteral("0"));
}

void TestEndToEnd::cleanup()
{
    windowRun_.reset();
}

MainWindow* TestEndToEnd::OpenWindow(const Endpoints& endpoints, WindowCollaborators collaborators)
{
    // The test's run is built with the addresses of its first window.
    if (!windowRun_) {
        windowRun_
            = std::make_unique<e2e::WindowRun>(RunServices { .prompt = &prompt_, .endpoints = endpoints });
        windowRun_->run.progress.SetView(&progress_);
        // The unreachable update page is refused: no pauses between attempts.
        windowRun_->run.fetcher.SetFirstRetryPauseMs(10);
    }
    MainWindow& window = windowRun_->Open(std::move(collaborators));
    window.show();
    return &window;
}

void TestEndToEnd::extractAllMergeAndExport_data()
{
    QTest::addColumn<bool>("filterClosed");
    QTest::addColumn<QStringList>("drift"); // the demo's options
    QTest::newRow("all trades") << false << QStringList();
    QTest::newRow("closed trades filtered") << true << QStringList();
    // Virtual goods, a renamed address label, "&nbsp;" after order numbers,
    // a 19.9 / 9.9 parcel and a closed twin of a live shipment.
    QTest::newRow("drifted pages") << false << QStringList { "--drift", "--virtual-every", "5" };
}

void TestEndToEnd::extractAllMergeAndExport()
{
    QFETCH(bool, filterClosed);
    QFETCH(QStringList, drift);
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market(QStringList { "--pages", "2", "--per-page", "6", "--seed", "31",
                                       "--dump-truth", truthPath, "--log-requests" }
        + drift);
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const QJsonObject truth = ReadTruth(truthPath);
    const QJsonArray trades = truth.value("trades").toArray();
    QCOMPARE(trades.size(), 12);
    QSet<QString> withoutShipping;
    for (const QJsonValue& t : trades)
        if (!t.toObject().value("shippingData").toBool())
            withoutShipping.insert(t.toObject().value("orderNumber").toString());
    QCOMPARE(withoutShipping.isEmpty(), drift.isEmpty());

    StoreSetting("CHK_0", filterClosed ? QStringLiteral("1") : QStringLiteral("0"));
    ScriptedSaveDialog dialog;
    auto window = OpenWindow(e2e::DemoEndpoints(market.base()), { .saveDialog = &dialog });
    QCOMPARE(e2e::CheckBox(*window, 0)->isChecked(), filterClosed);
    QVERIFY(e2e::LogIn(*window, market.base(), Jar()));
    QVERIFY(e2e::OpenSoldItems(*window));

    progress_.percentHistory.clear();
    window->Run(Command::ExtractAll);
    // The browser's page states "第 1 页 / 共 2 页": the walk's one step is half the work.
    QCOMPARE(progress_.percentHistory.value(0), QStringLiteral("50%"));
    double total = 0;
    const QList<QStringList> expected = ExpectedRows(trades, filterClosed, &total);
    QCOMPARE(GridRows(window->Session().Grid()), expected);
    QCOMPARE(e2e::ShopBox(*window)->text(), truth.value("nick").toString());
    QCOMPARE(e2e::TotalLabel(*window)->text(),
        QStringLiteral("交易总额：") + NumberText(total) + QStringLiteral("元"));
    QVERIFY(!ProgressWindowOpen(RunProgress()));
    QCOMPARE(e2e::Browser(*window).url().query(), QStringLiteral("page=2"));
    // No box after the walk: the findings are listed under the grid, and
    // name the trades whose page had no address, and only those.
    QVERIFY2(prompt_.messages.isEmpty(), qPrintable(prompt_.messages.join(u'\n')));
    const FindingList& findings = window->Session().Findings();
    const auto* pane = window->findChild<FindingsPane*>(QStringLiteral("findings"));
    QVERIFY(pane);
    QVERIFY(pane->isVisible()); // its status line always; its list only with findings
    QCOMPARE(pane->List()->isVisible(), !withoutShipping.isEmpty());
    QCOMPARE(pane->List()->count(), findings.All().size());
    QSet<QString> named;
    for (const Finding& finding : findings.All())
        named.insert(finding.orderNumber);
    QCOMPARE(named, withoutShipping);
    // A trade to ship without a recipient is refused: its order number is tinted red.
    const auto* view = window->findChild<TradeGridView*>(QStringLiteral("grid"));
    for (const Finding& finding : findings.All()) {
        const int row = window->Session().Grid().FindOrderRow(finding.orderNumber);
        if (finding.severity == FindingSeverity::Refused && row >= 0)
            QCOMPARE(view->CellTint(row, ColOrderNumber), TradeGridDelegate::Tint::Refused);
        if (finding.severity == FindingSeverity::Note && row >= 0)
            QCOMPARE(view->CellTint(row, ColOrderNumber), TradeGridDelegate::Tint::None);
    }
    QVERIFY(withoutShipping.isEmpty() || findings.Any(FindingSeverity::Refused));
    for (const QString& request : market.RequestLog().filter(QStringLiteral("bizOrderId=")))
        QVERIFY2(QRegularExpression(QStringLiteral("bizOrderId=\\d+(&|$)")).match(request).hasMatch(),
            qPrintable(request));

    // Merge: one row per shipment key, amounts kept; closed and unpaid
    // trades and rows without a recipient stay rows of their own.
    QSet<QStringList> keys;
    int unmerged = 0;
    for (const QStringList& row : expected) {
        if (row.at(9) == QStringLiteral("交易关闭") || row.at(9) == QStringLiteral("等待买家付款") || row.at(12).isEmpty())
            ++unmerged;
        else
            keys.insert({ row.at(12), row.at(15), row.at(16), row.at(17), row.at(18), row.at(19), row.at(20),
                row.at(21) });
    }
    window->Run(Command::Merge);
    QCOMPARE(window->Session().Grid().Rows() - window->Session().Grid().FixedRows(), keys.size() + unmerged);
    if (!drift.isEmpty()) {
        // The 19.9 / 9.9 parcel keeps both prices and both items.
        const QStringList parcel = GridRows(window->Session().Grid()).first();
        QCOMPARE(parcel.at(3), QStringLiteral("帽子\r\n帽"));
        QCOMPARE(parcel.at(4), QStringLiteral("19.9\r\n9.9"));
    }
    QCOMPARE(e2e::TotalLabel(*window)->text(),
        QStringLiteral("交易总额：") + NumberText(total) + QStringLiteral("元"));

    // Export through a scripted dialog: CSV, then a workbook, then cancel.
    const QString csvPath = dir.filePath(QStringLiteral("发货.csv"));
    const QString xlsxPath = dir.filePath(QStringLiteral("发货.xlsx"));
    dialog.answers = { csvPath, xlsxPath, QString() };
    window->Run(Command::Export);
    window->Run(Command::Export);
    window->Run(Command::Export);
    QVERIFY(dialog.answers.isEmpty());
    const QString csv = DecodeAnsi(testsupport::ReadFile(csvPath));
    QVERIFY(csv.contains(QStringLiteral("订单编号")));
    const QString firstOrder = window->Session().Grid().TextMatrix(window->Session().Grid().FixedRows(), ColOrderNumber);
    QVERIFY2(csv.contains(firstOrder), qPrintable(firstOrder));
    QVERIFY(csv.contains(QStringLiteral("\r\n")));
    const QByteArray workbook = testsupport::ReadFile(xlsxPath);
    QVERIFY(workbook.startsWith("PK"));
    QVERIFY(workbook.size() > 1000);
    QVERIFY(prompt_.questions.isEmpty());
    QCOMPARE(windowRun_->ended, 0);
}

void TestEndToEnd::currentPageAndGridCommands()
{
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market(
        { "--pages", "2", "--per-page", "6", "--seed", "31", "--dump-truth", truthPath });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const QJsonArray trades = ReadTruth(truthPath).value("trades").toArray();
    QJsonArray firstPage;
    for (const QJsonValue& t : trades)
        if (t.toObject().value("page").toInt() == 1)
            firstPage.append(t);

    auto window = OpenWindow(e2e::DemoEndpoints(market.base()));
    QVERIFY(e2e::LogIn(*window, market.base(), Jar()));
    QVERIFY(e2e::OpenSoldItems(*window));

    // Command 0: this page only, the browser stays on it.
    window->Run(Command::ExtractPage);
    double total = 0;
    QList<QStringList> expected = ExpectedRows(firstPage, false, &total);
    QCOMPARE(GridRows(window->Session().Grid()), expected);
    QCOMPARE(e2e::Browser(*window).url().query(), QStringLiteral("page=1"));
    QCOMPARE(e2e::TotalLabel(*window)->text(),
        QStringLiteral("交易总额：") + NumberText(total) + QStringLiteral("元"));
    // Again: trades already in the grid are not added twice.
    window->Run(Command::ExtractPage);
    QCOMPARE(GridRows(window->Session().Grid()).size(), expected.size());

    // Command 3 deletes the selected rows.
    TradeGrid& grid = window->Session().Grid();
    const QString third = grid.TextMatrix(4, ColOrderNumber);
    auto* view = window->findChild<TradeGridView*>();
    QVERIFY(view);
    view->selectionModel()->select(
        QItemSelection(grid.index(2, grid.FixedCols()), grid.index(3, grid.Cols() - 1)),
        QItemSelectionModel::ClearAndSelect);
    QCOMPARE(std::pair(grid.Row(), grid.RowSel()), std::pair(2, 3));
    window->Run(Command::DeleteRows);
    QCOMPARE(grid.Rows() - grid.FixedRows(), expected.size() - 2);
    QCOMPARE(grid.TextMatrix(2, ColOrderNumber), third);
    // The trades that moved up are not highlighted, and a second click
    // deletes nothing.
    QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());
    window->Run(Command::DeleteRows);
    QCOMPARE(grid.Rows() - grid.FixedRows(), expected.size() - 2);

    // A click on the filter box removes closed trades at once, the label
    // then has no "元" and the box is stored.
    QList<QStringList> remaining = GridRows(grid);
    double remainingTotal = 0;
    QList<QStringList> open;
    for (const QStringList& row : remaining)
        if (row.at(9) != QStringLiteral("交易关闭")) {
            open.append(row.mid(1));
            remainingTotal += LeadingNumber(row.at(10));
        }
    QTest::mouseClick(e2e::CheckBox(*window, 0), Qt::LeftButton, {}, QPoint(4, e2e::CheckBox(*window, 0)->height() / 2));
    QVERIFY(e2e::CheckBox(*window, 0)->isChecked());
    QList<QStringList> after;
    for (const QStringList& row : GridRows(grid))
        after.append(row.mid(1));
    QCOMPARE(after, open);
    QCOMPARE(e2e::TotalLabel(*window)->text(), QStringLiteral("交易总额：") + NumberText(remainingTotal));
    QCOMPARE(StoredSetting("CHK_0"), QStringLiteral("1"));

    // Unchecking changes nothing in the grid.
    QTest::mouseClick(e2e::CheckBox(*window, 0), Qt::LeftButton, {}, QPoint(4, e2e::CheckBox(*window, 0)->height() / 2));
    QVERIFY(!e2e::CheckBox(*window, 0)->isChecked());
    QCOMPARE(grid.Rows() - grid.FixedRows(), open.size());
    QCOMPARE(StoredSetting("CHK_0"), QStringLiteral("0"));

    // Command 2 clears; index 4 with nothing closed and an unknown index
    // only refresh the label.
    window->Run(Command::Clear);
    QCOMPARE(grid.Rows(), grid.FixedRows());
    QCOMPARE(e2e::TotalLabel(*window)->text(), QStringLiteral("交易总额：0元"));
    window->Com_Click(9);
    QCOMPARE(e2e::TotalLabel(*window)->text(), QStringLiteral("交易总额：0元"));
    QCOMPARE(windowRun_->ended, 0);
}

void TestEndToEnd::commandsWaitWhileExtractAllRuns()
{
    QTemporaryDir dir;
    const QString truthPath = dir.filePath(QStringLiteral("truth.json"));
    testsupport::DemoMarket market({ "--pages", "3", "--per-page", "6", "--seed", "31", "--latency-ms", "150",
        "--dump-truth", truthPath });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    const QJsonArray trades = ReadTruth(truthPath).value("trades").toArray();
    QCOMPARE(trades.size(), 18);

    ScriptedSaveDialog dialog;
    auto window = OpenWindow(e2e::DemoEndpoints(market.base()), { .saveDialog = &dialog });
    QVERIFY(e2e::LogIn(*window, market.base(), Jar()));
    QVERIFY(e2e::OpenSoldItems(*window));
    const QString csvPath = dir.filePath(QStringLiteral("发货.csv"));
    dialog.answers = { csvPath };
    WebBrowser& browser = e2e::Browser(*window);
    // A click in the page: a link would take the walk elsewhere. (The
    // offscreen engine ignores synthetic clicks, so the test counts what
    // reaches the page's widget instead of following a link.)
    PressCounter pageInput;
    // The engine may replace the widget inside the view as pages change.
    const auto clickPage = [&] {
        QWidget* page = browser.focusProxy();
        QVERIFY(page);
        page->installEventFilter(&pageInput);
        QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(20, 20));
    };

    // What a hurried user does while the walk runs, one step at a time.
    TradeGrid& grid = window->Session().Grid();
    QString storedWhileWalking;
    const QList<std::function<void()>> steps {
        [&] { ClickButton(e2e::CommandButton(*window, 2)); },
        [&] {
            grid.SetSelection(2, 6);
            ClickButton(e2e::CommandButton(*window, 3));
        },
        [&] {
            ClickButton(e2e::CheckBox(*window, 0));
            storedWhileWalking = StoredSetting("CHK_0");
        },
        clickPage,
        [&] {
            for (int index : { 0, 1, 6 })
                ClickButton(e2e::CommandButton(*window, index));
        },
        // Calls that do not come through the buttons are refused as well.
        [&] {
            window->Run(Command::Clear);
            window->Run(Command::RemoveClosed);
        },
    };
    qsizetype stepsDone = 0;
    int enabledButtons = 0;
    QTimer user;
    user.setInterval(200);
    connect(&user, &QTimer::timeout, this, [&] {
        const bool walking
            = progress_.loaded && RunProgress().State().message == QString::fromUtf8(kExtractingMessage);
        if (!walking || stepsDone == steps.size())
            return;
        for (int index : { 0, 1, 2, 3, 5, 6 })
            enabledButtons += e2e::CommandButton(*window, index)->isEnabled() ? 1 : 0;
        steps.at(stepsDone++)();
    });
    user.start();
    // A double click on "提取所有交易": the second click comes 70 ms later.
    QTimer::singleShot(70, this, [&] { ClickButton(e2e::CommandButton(*window, 5)); });
    ClickButton(e2e::CommandButton(*window, 5));
    user.stop();

    QCOMPARE(stepsDone, steps.size());
    QCOMPARE(enabledButtons, 0);
    QCOMPARE(pageInput.presses, 0);
    clickPage();
    QCOMPARE(pageInput.presses, 1);
    QVERIFY(!window->Session().Busy());
    QVERIFY(e2e::CommandButton(*window, 2)->isEnabled());
    // One walk over every page, the filter box stored at once and applied.
    QCOMPARE(browser.url().query(), QStringLiteral("page=3"));
    QVERIFY(e2e::CheckBox(*window, 0)->isChecked());
    QCOMPARE(storedWhileWalking, QStringLiteral("1")); // saved at once, not when the walk ended
    double total = 0;
    QCOMPARE(GridRows(grid), ExpectedRows(trades, true, &total));
    QVERIFY2(prompt_.messages.isEmpty(), qPrintable(prompt_.messages.join(u'\n')));
    QCOMPARE(dialog.answers.size(), 1);

    // Every exported row goes to the trade's own recipient.
    QHash<QString, QString> recipients;
    for (const QJsonValue& t : trades)
        recipients.insert(
            t.toObject().value("orderNumber").toString(), t.toObject().value("recipient").toString());
    window->Run(Command::Export);
    const QStringList lines = DecodeAnsi(testsupport::ReadFile(csvPath)).split(QStringLiteral("\r\n"));
    const qsizetype titleLine = lines.indexOf(QRegularExpression(QStringLiteral(".*订单编号.*")));
    QVERIFY(titleLine >= 0);
    const QStringList titles = CsvFields(lines.at(titleLine));
    const qsizetype orderField = titles.indexOf(QStringLiteral("订单编号"));
    const qsizetype recipientField = titles.indexOf(QStringLiteral("收件人"));
    QVERIFY(orderField >= 0 && recipientField >= 0);
    int checked = 0;
    for (qsizetype i = titleLine + 1; i < lines.size(); ++i) {
        const QStringList fields = CsvFields(lines.at(i));
        if (fields.size() <= recipientField)
            continue;
        const QString order = fields.at(orderField).section(u'_', 0, 0);
        QVERIFY2(recipients.contains(order), qPrintable(lines.at(i)));
        QCOMPARE(fields.at(recipientField), recipients.value(order).trimmed());
        ++checked;
    }
    QCOMPARE(checked, grid.Rows() - grid.FixedRows());
}

void TestEndToEnd::settingsRestoredAtNextStart()
{
    testsupport::DemoMarket market({ "--pages", "1", "--per-page", "2" });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    {
        auto window = OpenWindow(e2e::DemoEndpoints(market.base()));
        QVERIFY(!e2e::CheckBox(*window, 1)->isChecked());
        QVERIFY(e2e::Bar(*window, 1)->isVisible());
        // The user checks the vertical layout and drags nothing.
        QTest::mouseClick(
            e2e::CheckBox(*window, 1), Qt::LeftButton, {}, QPoint(4, e2e::CheckBox(*window, 1)->height() / 2));
        QVERIFY(e2e::Bar(*window, 0)->isVisible());
        QVERIFY(!e2e::Bar(*window, 1)->isVisible());
        QCOMPARE(StoredSetting("CHK_1"), QStringLiteral("1"));
        QCOMPARE(e2e::TotalLabel(*window)->text(), QStringLiteral("交易总额：0"));
    }
    // The next start reads the settings once, for its run.
    windowRun_.reset();
    StoreSetting("CHK_0", QStringLiteral("1"));
    StoreSetting("Split_Top_0", QStringLiteral("0.5"));
    auto window = OpenWindow(e2e::DemoEndpoints(market.base()));
    QVERIFY(e2e::CheckBox(*window, 0)->isChecked());
    QVERIFY(e2e::CheckBox(*window, 1)->isChecked());
    // Restoring the filter ran the removal on the empty grid and closed its progress.
    QCOMPARE(RunProgress().State().message, QStringLiteral("正在查找并清除关闭的交易..."));
    QVERIFY(!ProgressWindowOpen(RunProgress()));
    // Vertical layout: grid above the horizontal bar, browser below it.
    const QRect grid = window->findChild<QWidget*>(QStringLiteral("grid"))->geometry();
    const QRect bar = e2e::Bar(*window, 0)->geometry();
    QVERIFY(e2e::Bar(*window, 0)->isVisible());
    QVERIFY(!e2e::Bar(*window, 1)->isVisible());
    // The findings pane's status line takes the lowest part of the grid's place.
    const QRect pane = window->findChild<QWidget*>(QStringLiteral("findings"))->geometry();
    QVERIFY(qAbs(grid.y() + grid.height() - pane.y()) <= 1);
    QVERIFY(qAbs(pane.y() + pane.height() - bar.y()) <= 1);
    QVERIFY(qAbs(e2e::Browser(*window).y() - (bar.y() + bar.height())) <= 1);
    QVERIFY(e2e::Browser(*window).geometry().top() > e2e::Bar(*window, 0)->geometry().top());
    // A box holding no number leaves the box as it is.
    windowRun_.reset();
    StoreSetting("CHK_1", QStringLiteral("yes"));
    auto third = OpenWindow(e2e::DemoEndpoints(market.base()));
    QVERIFY(!e2e::CheckBox(*third, 1)->isChecked());
}

void TestEndToEnd::updateCheckAgainstDownloadPage_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("upgrade");
    QTest::newRow("newer version") << "2.10" << true << true;
    QTest::newRow("equal version") << "2.00" << true << false;
    QTest::newRow("page unreachable") << "9.0" << false << false;
}

void TestEndToEnd::updateCheckAgainstDownloadPage()
{
    QFETCH(QString, version);
    QFETCH(bool, reachable);
    QFETCH(bool, upgrade);
    testsupport::DemoMarket market({ "--pages", "1", "--per-page", "2", "--version", version });
    if (!market.ok())
        SKIP_OR_FAIL_WITHOUT_DEMO("demo marketplace not available");
    QTemporaryDir programDir;
    QVERIFY(testsupport::WriteStandInUpdater(programDir.path()));
    QVERIFY(testsupport::WriteFile(programDir.filePath(QStringLiteral("data.mdb")), "shop data"));

    Endpoints endpoints = e2e::DemoEndpoints(market.base());
    if (!reachable)
        endpoints.updateUrl = testsupport::RefusedBase() + QStringLiteral("/download?ID=");
    standin::RecordingUpdateHost host(programDir.path(), [] { return QString::fromUtf8(kMainWindowCaption); });
    auto window = OpenWindow(endpoints, { .updateHost = &host });

    // The first finished page runs the one-time action (the timer stops
    // only then): the check is done.
    QVERIFY(WaitUntil([&] { return !e2e::WaitingForFirstPage(*window); }, 30000));
    const QString argsFile = programDir.filePath(QStringLiteral("update-args.txt"));
    if (upgrade) {
        QCOMPARE(host.messages, QStringList { QStringLiteral("本软件已升级，启动自动升级...") });
        QCOMPARE(host.ends, 1);
        QCOMPARE(testsupport::ReadFile(programDir.filePath(QStringLiteral("BAK_data000.DAT"))),
            QByteArray("shop data"));
        QVERIFY(WaitUntil([&] { return QFile::exists(argsFile); }, 10000));
        QCOMPARE(testsupport::ReadFile(argsFile), QByteArray("QV09.rar|lumetra-trades\n"));
    } else {
        QVERIFY(host.messages.isEmpty());
        QCOMPARE(host.ends, 0);
        QVERIFY(!QFile::exists(programDir.filePath(QStringLiteral("BAK_data000.DAT"))));
        QVERIFY(!QFile::exists(argsFile));
        const UpdateCheckState& check = window->Session().UpdateCheck().State();
        QCOMPARE(check.CurrentStage(), reachable ? UpdateCheckState::Stage::NotNewer : UpdateCheckState::Stage::Started);
        QCOMPARE(check.PublishedVersion(), reachable ? QStringLiteral("2") : QString());
    }
}

LUMETRA_TEST_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
