#include "MainWindow.h"

#include "FindingsPane.h"

#include "BrowserInputBlocker.h"
#include "BrowserLoadWatch.h"
#include "CourierSheetAction.h"
#include "SplitterBar.h"
#include "WindowPlacementKeeper.h"
#include "core/base/Endpoints.h"
#include "core/base/Logging.h"
#include "core/base/UserPrompt.h"
#include "core/grid/TotalText.h"
#include "core/grid/TradeRows.h"
#include "core/session/RunContext.h"
#include "core/settings/Settings.h"
#include "gui/base/Twips.h"
#include "gui/browser/WebBrowser.h"
#include "gui/dialogs/FileSaveDialog.h"
#include "gui/grid/TradeGridView.h"
#include "gui/print/DocumentPreview.h"
#include "gui/packcheck/PackCheckWindow.h"
#include "gui/packcheck/PrintedSlipsQuestion.h"
#include "gui/print/PrintButton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace {

struct CommandDesign {
    int index;
    const char* caption;
    const char* toolTip;
    TwipsRect rect;
    QColor face;
};

const CommandDesign kCommandDesigns[] = {
    { 5, "提取所有交易", "从当前交易记录页开始提取所有当前状态的交易记录", { 0, 0, 1335, 375 },
        QColor(255, 224, 192) },
    { 0, "提取当前页交易", "提取网页显示的交易信息", { 1320, 0, 1575, 375 }, QColor(255, 224, 192) },
    { 2, "清空表格", "删除表格中全部记录", { 3000, 0, 975, 375 }, QColor(192, 192, 255) },
    { 3, "删除记录", "删除表格中选定的记录", { 3960, 0, 975, 375 }, QColor(192, 192, 255) },
    { 1, "合并记录", "合并相同收件人的记录", { 4920, 0, 975, 375 }, QColor(192, 192, 255) },
    { 6, "导出记录", nullptr, { 6000, 0, 975, 375 }, QColor(255, 192, 128) },
};

const TwipsRect kSellerCaptionRect { 7080, 120, 540, 180 };
const TwipsRect kShopRect { 7560, 90, 1695, 270 };
const TwipsRect kCheckRects[2] = { { 9360, 120, 1455, 180 }, { 10920, 120, 1095, 180 } };
const TwipsRect kTotalRect { 13200, 120, 900, 180 };
const TwipsRect kPrintRect { 12060, 0, 975, 375 };
const QColor kPrintFace(192, 255, 192);

// Counts the handlers running, so the window knows whether ending the
// program must cut through nested event loops.
class BusyScope {
public:
    explicit BusyScope(int& counter)
        : counter_(counter)
    {
        ++counter_;
    }
    ~BusyScope() { --counter_; }

private:
    int& counter_;
};

} // namespace

class MainWindow::WindowUpdateHost : public UpdateHost {
public:
    explicit WindowUpdateHost(MainWindow* window)
        : window_(window)
    {
    }
    QString CaptionText() const override { return window_->windowTitle(); }
    void TellUser(const QString& text) override { window_->session_->Prompt().ShowMessage(text); }
    void EndProgram() override { window_->EndProgram(); }

private:
    MainWindow* window_;
};

MainWindow::MainWindow(RunContext& run, BrowserProfile& profile, WindowCollaborators collaborators, QWidget* parent)
    : QWidget(parent)
    , run_(run)
    , profile_(profile)
    , programEnder_(std::move(collaborators.programEnder))
{
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    if (!collaborators.saveDialog)
        ownSaveDialog_ = std::make_unique<FileSaveDialog>(run.settings, this);
    saveDialog_ = collaborators.saveDialog ? collaborators.saveDialog : ownSaveDialog_.get();
    if (!collaborators.updateHost)
        ownUpdateHost_ = std::make_unique<WindowUpdateHost>(this);
    updateHost_ = collaborators.updateHost ? collaborators.updateHost : ownUpdateHost_.get();
    CreateControls();
    session_->StartUpdateCheck(*updateHost_, [this] { browser_->ScrollBy(1000, 300); });

    setMinimumSize(MinimumClientSize());
    placement_ = new WindowPlacementKeeper(this, session_->RunSettings());

    StartUp();
}

MainWindow::~MainWindow()
{
    // The browser, a child widget, outlives the session: it tells it nothing
    // more.
    disconnect(browser_, nullptr, this, nullptr);
    // The view goes before the grid it shows.
    delete gridView_;
}

void MainWindow::CreateControls()
{
    QFont font = this->font();
    font.setPointSize(9);
    setFont(font);

    for (const CommandDesign& d : kCommandDesigns) {
        auto* button = new QPushButton(QString::fromUtf8(d.caption), this);
        button->setGeometry(TwipsRectToPixels(d.rect));
        if (d.toolTip)
            button->setToolTip(QString::fromUtf8(d.toolTip));
        // Graphical style: a flat face in the button's colour.
        button->setStyleSheet(
            QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }"
                           "QPushButton:pressed { border: 1px inset #404040; }")
                .arg(d.face.name()));
        button->setObjectName(QStringLiteral("Com_%1").arg(d.index));
        connect(button, &QPushButton::clicked, this, [this, index = d.index] { Com_Click(index); });
        commands_[size_t(d.index)] = button;
    }

    sellerCaption_ = new QLabel(QStringLiteral("卖家："), this);
    sellerCaption_->setGeometry(TwipsRectToPixels(kSellerCaptionRect));
    shop_ = new QLineEdit(this);
    shop_->setObjectName(QStringLiteral("shop"));
    shop_->setGeometry(TwipsRectToPixels(kShopRect));

    const char* checkCaptions[2] = { "过滤关闭交易", "纵向布局" };
    for (int i = 0; i < 2; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(checkCaptions[i]), this);
        box->setObjectName(QStringLiteral("Chk_%1").arg(i));
        box->setGeometry(TwipsRectToPixels(kCheckRects[i]));
        connect(box, &QCheckBox::clicked, this, [this, i] { Chk_Click(i); });
        checks_[size_t(i)] = box;
    }

    print_ = new PrintButton(
        [this](ShippingDocument which, bool selectedOnly) { PrintDocument(which, selectedOnly); },
        run_.settings, this);
    print_->setObjectName(QStringLiteral("print"));
    print_->menu()->addAction(QStringLiteral("验货…"), this, [this] {
        ShowPackCheckWindow(this,
            { [this]() -> const TradeGrid& { return session_->Grid(); },
                [this]() -> const FindingList& { return session_->Findings(); } },
            run_.fetcher, run_.endpoints);
    });
    print_->setGeometry(TwipsRectToPixels(kPrintRect));
    print_->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }")
                              .arg(kPrintFace.name()));

    total_ = new QLabel(QString::fromUtf8(kTotalPrefix), this);
    total_->setObjectName(QStringLiteral("total"));
    const QRect totalRect = TwipsRectToPixels(kTotalRect);
    total_->move(totalRect.topLeft());
    total_->setMinimumSize(totalRect.size());
    total_->adjustSize();

    const QFont gridFont = TradeGridFont();

    browser_ = new WebBrowser(profile_, this);
    browser_->setObjectName(QStringLiteral("browser"));
    loadWatch_ = new BrowserLoadWatch(browser_);
    inputBlocker_ = new BrowserInputBlocker(browser_);
    connect(browser_, &WebBrowser::DownloadComplete, this, [this] { session_->PageFinished(); });

    SessionHooks hooks;
    hooks.filterClosed = [this] { return FilterClosedChecked(); };
    hooks.busyChanged = [this](bool busy) { ShowBusy(busy); };
    hooks.shopNickRead = [this](const QString& nick) { ShowShopNick(nick); };
    hooks.exportNotes = [this] { return run_.settings.ExportNotes(); };
    session_ = std::make_unique<CommandSession>(run_, *browser_, *loadWatch_, saveDialog_, std::move(hooks));
    AddCourierSheetAction(*commands_[size_t(Command::Export)], *session_, this);
    connect(shop_, &QLineEdit::textChanged, this, [this](const QString& text) { session_->SetShopNick(text); });

    gridView_ = new TradeGridView(&session_->Grid(), this);
    gridView_->setObjectName(QStringLiteral("grid"));
    gridView_->setFont(gridFont);
    // The focus moves from the top row to the grid, then to the browser.
    setTabOrder(total_, gridView_);
    setTabOrder(gridView_, browser_);
    findings_ = new FindingsPane(this);
    connect(findings_, &FindingsPane::tradeActivated, this, &MainWindow::OpenFinding);

    bars_[0] = new SplitterBar(0, Qt::Vertical, this);
    bars_[1] = new SplitterBar(1, Qt::Horizontal, this);
    for (int i = 0; i < 2; ++i)
        bars_[size_t(i)]->setObjectName(QStringLiteral("bar_%1").arg(i));
    for (SplitterBar* bar : bars_) {
        connect(bar, &SplitterBar::dragged, this, &MainWindow::OnBarDragged);
        connect(bar, &SplitterBar::released, this, &MainWindow::OnBarReleased);
    }
    ApplyControls();
}

void MainWindow::StartUp()
{
    for (int i = 0; i < 2; ++i)
        if (const std::optional<int> value = session_->RunSettings().CheckBox(i))
            SetBoxFromSettings(i, *value);
    session_->SetUpGrid();
    ShowFindings();
    browser_->Navigate2(session_->StartUrl());
}

void MainWindow::OfferRecovery()
{
    const RecoveryOfferResult offered = session_->OfferRecovery();
    if (!offered.toTell.isEmpty())
        session_->Prompt().ShowMessage(offered.toTell);
    if (offered.offer == RecoveryOffer::Restored) {
        RefreshTotal();
        ShowFindings();
    }
}

bool MainWindow::FilterClosedChecked() const
{
    return checks_[0]->isChecked();
}

void MainWindow::EndProgram()
{
    // However it ends from here, the run ends normally: the grid is offered
    // back at the next start only when rows were not exported.
    const bool running = session_->Running() || previews_ > 0;
    session_->EndCheckpoints(previews_ > 0);
    if (programEnder_) {
        programEnder_();
        return;
    }
    if (running) {
        // A command waits in a nested event loop. Once the application
        // quits, those loops return at once, so the command unwinds: it
        // stops at its next step, and files it had open are closed and its
        // temporary files removed. Nothing it does from here on is shown
        // or asked (without a prompt, questions are answered No).
        session_->EndRun();
        hide();
    }
    QCoreApplication::exit(0);
}

void MainWindow::Com_Click(int index)
{
    if (const std::optional<Command> command = CommandAt(index))
        Run(*command);
    else
        RefreshTotal();
}

void MainWindow::Run(Command command)
{
    Show(session_->Run(command));
}

void MainWindow::RefreshTotal()
{
    Show(session_->GridChanged());
}

void MainWindow::Show(const CommandOutcome& outcome)
{
    if (!outcome.ran)
        return;
    for (const QString& told : outcome.messages)
        session_->Prompt().ShowMessage(told);
    UpdateTotal(true);
    ShowFindings();
    // A command may have moved the grid's selection (a deletion clears it):
    // the view shows what the next command will act on.
    gridView_->ShowGridSelection();
}

void MainWindow::ShowFindings()
{
    const FindingList& findings = session_->Findings();
    findings_->ShowFindings(findings, TallyGrid(session_->Grid()));
    gridView_->SetFindings(findings);
    ApplyControls();
}

void MainWindow::SelectTrade(const QString& orderNumber, int column)
{
    const int row = TradeRowIndex(session_->Grid()).value(orderNumber, -1);
    if (row >= 0) // else refused without a row
        gridView_->SelectRows(row, row, column >= 0 ? column : int(ColOrderNumber));
}

void MainWindow::OpenFinding(const QString& orderNumber, int column)
{
    SelectTrade(orderNumber, column);
    // The trade's own page shows what the tool could not read; not while a
    // command reads pages in the browser.
    if (!session_->Running())
        browser_->Navigate2(TradeDetailAddress(run_.endpoints, orderNumber));
}

void MainWindow::ShowBusy(bool busy)
{
    // A button that is disabled hands its focus on down the chain, to the
    // seller field, whose blinking cursor then repaints the window twice a
    // second for as long as it stays idle. The window itself holds the focus
    // while the command runs (the grid would take it as a click on a cell),
    // and the button takes it back afterwards.
    QWidget* focused = focusWidget();
    const bool buttonFocused = focused
        && (focused == print_
            || std::find(commands_.cbegin(), commands_.cend(), focused) != commands_.cend());
    if (busy && buttonFocused) {
        focusBeforeBusy_ = focused;
        setFocus(Qt::OtherFocusReason);
    }
    for (QPushButton* button : commands_)
        if (button)
            button->setEnabled(!busy);
    print_->setEnabled(!busy);
    inputBlocker_->SetBlocking(busy);
    if (!busy && focusBeforeBusy_) {
        if (focusWidget() == this || focusWidget() == shop_)
            focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
        focusBeforeBusy_ = nullptr;
    }
}

void MainWindow::PrintDocument(ShippingDocument which, bool selectedOnly)
{
    DocumentRows rows;
    if (selectedOnly)
        rows.only = std::pair { session_->Grid().Row(), session_->Grid().RowSel() };
    const CommandOutcome outcome = session_->CollectDocuments(rows);
    Show(outcome);
    if (!outcome.documents || outcome.documents->NothingToShip())
        return;
    const BusyScope previewing(previews_);
    if (which == ShippingDocument::PackingSlips) {
        ParcelMarks marks(DefaultParcelMarksPath());
        PreviewSlipsRemembered(this, *outcome.documents, marks, [&](const ShippingDocuments& slips) {
            return ShowDocumentPreview(this, slips, which, session_->RunSettings());
        });
        return;
    }
    ShowDocumentPreview(this, *outcome.documents, which, session_->RunSettings());
}

void MainWindow::ShowShopNick(const QString& nick)
{
    shop_->setText(nick);
}

void MainWindow::Chk_Click(int index)
{
    // The click is stored at once; the grid action waits for a running
    // command to end, and then follows the box as it is by that time.
    if (index == 0 && checks_[0]->isChecked()) {
        session_->RunWhenFree(
            Command::RemoveClosed, [this] { return FilterClosedChecked(); },
            [this](const CommandOutcome& outcome) {
                Show(outcome);
                UpdateTotal(false);
            });
    }
    if (index == 1)
        LayOut();
    if (!session_->RunSettings().StoreCheckBox(index, checks_[size_t(index)]->isChecked()))
        qCWarning(lcSettings) << "check box" << index << "not stored";
    UpdateTotal(false);
}

void MainWindow::SetBoxFromSettings(int index, int value)
{
    QCheckBox* box = checks_[size_t(index)];
    const bool checked = value != 0;
    if (box->isChecked() == checked)
        return;
    box->setChecked(checked);
    Chk_Click(index);
}

void MainWindow::UpdateTotal(bool withYuan)
{
    total_->setText(TotalLabelText(session_->Grid(), withYuan));
    total_->adjustSize();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Rows the recovery file could not take would be lost with the window,
    // also in the middle of a walk.
    if (!session_->MayClose(previews_ > 0)) {
        event->ignore();
        return;
    }
    event->accept();
    EndProgram();
}
