#pragma once
// The main window MF: the row of commands, the trade grid, the browser and
// the splitter bars between them. The run, from its start to its end, is
// the window's command session's; the window wires clicks and browser
// notifications to it, lays out its controls and shows what the session
// tells. Its controls carry object names ("Com_<index>", "Chk_<index>",
// "print", "total", "shop", "bar_<index>", "grid", "findings", "browser").
// What the checks found is listed under the grid, never in a box.

#include "core/print/DocumentPrinter.h"
#include "core/layout/WindowLayout.h"
#include "core/session/CommandSession.h"
#include "core/update/UpdateHost.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class BrowserInputBlocker;
class FindingsPane;
class BrowserProfile;
class RunContext;
class BrowserLoadWatch;
class PrintButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SaveDialog;
class SplitterBar;
class TradeGrid;
class TradeGridView;
class WebBrowser;
class WindowPlacementKeeper;

inline const char* const kMainWindowCaption = "Lumetra交易数据提取软件【C店版】2.00";

// What the window works with besides the run and the browser profile. Any
// left empty is the window's own: the file dialog, the update host that
// tells through the run's prompt, the end of the application.
struct WindowCollaborators {
    SaveDialog* saveDialog = nullptr;
    UpdateHost* updateHost = nullptr;
    std::function<void()> programEnder = {};
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The run, the browser profile and the collaborators are not owned and
    // must outlive the window.
    MainWindow(RunContext& run, BrowserProfile& profile, WindowCollaborators collaborators = {},
        QWidget* parent = nullptr);
    ~MainWindow() override;

    // A button's click by its index 0 … 6; any other index only refreshes
    // the total.
    void Com_Click(int index);
    // Runs a command and shows what it tells; refused while another runs.
    void Run(Command command);
    // Shows the grid's total (after the grid was filled from outside).
    void RefreshTotal();
    // Start-up, once the window is shown: the session offers the grid the
    // last run left, and the window shows what it tells.
    void OfferRecovery();
    void Chk_Click(int index);
    // Places grid, browser and bars for the current window size.
    void LayOut();
    // Ends the program at once (closing the window does this).
    void EndProgram();

    // The commands and the grid they work on.
    CommandSession& Session() { return *session_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    // The whole top row, the widest total included, and the design height.
    QSize MinimumClientSize() const;
    void StartUp();
    void Show(const CommandOutcome& outcome);
    // The session's findings in the pane and as the grid's tints.
    void ShowFindings();
    // Selects the row of a trade a finding names, visibly, with the cell of
    // column in sight; nothing when no row holds it.
    void SelectTrade(const QString& orderNumber, int column);
    // A finding's line was activated: its trade's row is selected and its
    // detail page opened in the browser (also for a trade without a row:
    // the page shows what the list did not).
    void OpenFinding(const QString& orderNumber, int column);
    void ShowBusy(bool busy);
    void ShowShopNick(const QString& nick);
    // Collects the document from the rows to ship (all or the selected
    // ones) and opens its print preview.
    void PrintDocument(ShippingDocument which, bool selectedOnly);
    // Sets a box to its stored value as the program does: a different value
    // runs Chk_Click.
    void SetBoxFromSettings(int index, int value);
    void OnBarDragged(int index);
    void OnBarReleased(int index);
    void ApplyControls();
    void UpdateTotal(bool withYuan);
    bool FilterClosedChecked() const;
    // The window's outer rectangle in screen twips.
    TwipsRect FrameTwips() const;

    class WindowUpdateHost;

    RunContext& run_;
    BrowserProfile& profile_;
    std::unique_ptr<CommandSession> session_;
    TradeGridView* gridView_ = nullptr;
    FindingsPane* findings_ = nullptr;
    WebBrowser* browser_ = nullptr;
    BrowserLoadWatch* loadWatch_ = nullptr;
    BrowserInputBlocker* inputBlocker_ = nullptr;
    std::array<QPushButton*, 7> commands_ {};
    std::array<QCheckBox*, 2> checks_ {};
    PrintButton* print_ = nullptr;
    std::array<SplitterBar*, 2> bars_ {};
    QLineEdit* shop_ = nullptr;
    QLabel* sellerCaption_ = nullptr;
    QLabel* total_ = nullptr;
    WindowPlacementKeeper* placement_ = nullptr;
    std::unique_ptr<SaveDialog> ownSaveDialog_;
    std::unique_ptr<UpdateHost> ownUpdateHost_;
    SaveDialog* saveDialog_ = nullptr;
    UpdateHost* updateHost_ = nullptr;
    std::function<void()> programEnder_;
    MainWindowControls controls_ = DesignControls();
    // Print previews open in a nested event loop outside the session, so
    // ending the program knows to cut through them.
    int previews_ = 0;
    // The button that had the focus when a command began; it gets it back
    // at the end instead of the seller field.
    QWidget* focusBeforeBusy_ = nullptr;
};
