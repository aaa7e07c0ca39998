#pragma once
// The main window MF: the row of commands, the trade grid, the browser and
// the splitter bars between them. The work behind each command lives in the
// logic library; this class wires clicks, timer and browser notifications.

#include "core/commands/CommandGuard.h"
#include "core/layout/WindowLayout.h"
#include "core/update/UpdateHost.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class BrowserInputBlocker;
class BrowserProfile;
class RunContext;
class BrowserLoadWatch;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class SaveDialog;
class SplitterBar;
class TradeGrid;
class TradeGridView;
class WebBrowser;
class WidgetTextMeasurer;
class WindowPlacementKeeper;

inline const char* const kMainWindowCaption = "Lumetra交易数据提取软件【C店版】2.00";
inline constexpr int kProductNumber = 58;
inline constexpr int kFirstPageTimerMs = 500;

// The seven commands, in the order of their buttons.
enum class Command {
    ExtractPage = 0, // 提取当前页交易
    Merge = 1, // 合并记录
    Clear = 2, // 清空表格
    DeleteRows = 3, // 删除选中记录
    RemoveClosed = 4, // the check box's action
    ExtractAll = 5, // 提取所有交易
    Export = 6, // 导出记录
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The run and the browser profile are not owned and must outlive the
    // window.
    MainWindow(RunContext& run, BrowserProfile& profile, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A button's click by its index 0 … 6; any other index only refreshes
    // the total.
    void Com_Click(int index);
    // Runs a command; refused while another command runs.
    void Run(Command command);
    // Shows the grid's total (after the grid was filled from outside).
    void RefreshTotal();
    void Chk_Click(int index);
    // Reads the seller's nick from the shown page into the seller box.
    void GetShoper();
    // Places grid, browser and bars for the current window size.
    void LayOut();

    // Replace the save dialog, the update host or the way the program ends
    // (tests); nullptr / an empty function restores the window's own.
    void SetSaveDialog(SaveDialog* dialog);
    void SetUpdateHost(UpdateHost* host);
    void SetProgramEnder(std::function<void()> ender);
    // Ends the program at once (closing the window does this).
    void EndProgram();

    // For tests and the screenshot tool.
    TradeGrid& Grid() { return *grid_; }
    WebBrowser& Browser() { return *browser_; }
    QPushButton* CommandButton(int index) const;
    QCheckBox* CheckBox(int index) const { return checks_[size_t(index)]; }
    QLabel* TotalLabel() const { return total_; }
    QLineEdit* ShopBox() const { return shop_; }
    SplitterBar* Bar(int index) const { return bars_[size_t(index)]; }
    const MainWindowControls& Controls() const { return controls_; }
    int PageReadyCount() const { return pageReadyCount_; }
    bool FirstPageTimerActive() const;
    bool CommandRunning() const { return guard_.Busy(); }
    // Sets a box as the program does: a different value runs Chk_Click.
    void SetCheckValue(int index, int value);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    // The whole top row, the widest total included, and the design height.
    QSize MinimumClientSize() const;
    void StartUp();
    void RunCommand(std::optional<Command> command);
    void ShowBusy(bool busy);
    void OnDownloadComplete();
    void OnTimerTick();
    void OnBarDragged(int index);
    void OnBarReleased(int index);
    void ApplyControls();
    void UpdateTotal(bool withYuan);
    bool FilterClosedChecked() const;
    int WindowWidthTwips() const;
    int WindowHeightTwips() const;

    class WindowUpdateHost;

    RunContext& run_;
    BrowserProfile& profile_;
    TradeGrid* grid_ = nullptr;
    TradeGridView* gridView_ = nullptr;
    WebBrowser* browser_ = nullptr;
    BrowserLoadWatch* loadWatch_ = nullptr;
    BrowserInputBlocker* inputBlocker_ = nullptr;
    std::array<QPushButton*, 7> commands_ {};
    std::array<QCheckBox*, 2> checks_ {};
    std::array<SplitterBar*, 2> bars_ {};
    QLineEdit* shop_ = nullptr;
    QLabel* sellerCaption_ = nullptr;
    QLabel* total_ = nullptr;
    QTimer* firstPageTimer_ = nullptr;
    WindowPlacementKeeper* placement_ = nullptr;
    std::unique_ptr<WidgetTextMeasurer> measurer_;
    std::unique_ptr<SaveDialog> ownSaveDialog_;
    std::unique_ptr<UpdateHost> ownUpdateHost_;
    SaveDialog* saveDialog_ = nullptr;
    UpdateHost* updateHost_ = nullptr;
    std::function<void()> programEnder_;
    CommandGuard guard_;
    MainWindowControls controls_ = DesignControls();
    int pageReadyCount_ = 0;
    int runningCommands_ = 0;
};
