// The main window's geometry: its smallest client size, the controls laid
// out from the frame and the stored splitter places, and the splitter bars
// dragged and released.

#include "MainWindow.h"

#include "CursorPos.h"
#include "FindingsPane.h"
#include "SplitterBar.h"
#include "core/base/Logging.h"
#include "core/grid/TotalText.h"
#include "core/session/CommandSession.h"
#include "core/settings/Settings.h"
#include "gui/base/Twips.h"
#include "gui/browser/WebBrowser.h"
#include "gui/grid/TradeGridView.h"

#include <QCheckBox>
#include <QLabel>

#include <algorithm>

namespace {

// Design client size; the width grows so the total label shows whole.
constexpr int kClientHeightTwips = 8160;
constexpr int kClientWidthTwips = kDesignClientWidth;
constexpr int kTotalRightMarginTwips = 150;

} // namespace

QSize MainWindow::MinimumClientSize() const
{
    int totalWidth = 0;
    for (const QString& widest : WidestTotalLabelTexts()) {
        QLabel probe(widest);
        probe.setFont(total_->font());
        totalWidth = std::max(totalWidth, probe.sizeHint().width());
    }
    const int topRowWidth = total_->x() + totalWidth + TwipsToPixels(kTotalRightMarginTwips);
    return QSize(std::max(TwipsToPixels(kClientWidthTwips), topRowWidth), TwipsToPixels(kClientHeightTwips));
}

TwipsRect MainWindow::FrameTwips() const
{
    const QRect frame = frameGeometry();
    const auto twips = [](int pixels) { return int(PixelsToTwips(pixels) + 0.5); };
    return { twips(frame.x()), twips(frame.y()), twips(frame.width()), twips(frame.height()) };
}

void MainWindow::LayOut()
{
    const LayoutSettingReader read = [this](const QString& key, const QString& defaultText) {
        return session_->RunSettings().LayoutText(key, defaultText);
    };
    const TwipsRect frame = FrameTwips();
    controls_ = LayOutMainWindow(frame.width, frame.height, !checks_[1]->isChecked(), controls_, read);
    ApplyControls();
}

void MainWindow::ApplyControls()
{
    // The findings pane, when shown, takes the lower part of the grid's place.
    QRect gridRect = TwipsRectToPixels(controls_.grid);
    if (findings_->isVisibleTo(this)) {
        const int paneHeight = findings_->HeightWithin(gridRect.height());
        findings_->setGeometry(
            gridRect.left(), gridRect.bottom() + 1 - paneHeight, gridRect.width(), paneHeight);
        gridRect.setHeight(gridRect.height() - paneHeight);
        findings_->raise();
    }
    gridView_->setGeometry(gridRect);
    session_->Grid().SetWidth(controls_.grid.width);
    browser_->setGeometry(TwipsRectToPixels(controls_.browser));
    bars_[0]->setGeometry(TwipsRectToPixels(controls_.bar0));
    bars_[1]->setGeometry(TwipsRectToPixels(controls_.bar1));
    bars_[0]->setVisible(controls_.bar0Visible);
    bars_[1]->setVisible(controls_.bar1Visible);
    bars_[0]->raise();
    bars_[1]->raise();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    LayOut();
}

void MainWindow::OnBarDragged(int index)
{
    int mouseX = 0;
    int mouseY = 0;
    GetCursorPosTwips(mouseX, mouseY);
    controls_ = DragBar(controls_, index, mouseX, mouseY, FrameTwips());
    bars_[size_t(index)]->setGeometry(TwipsRectToPixels(index != 0 ? controls_.bar1 : controls_.bar0));
}

void MainWindow::OnBarReleased(int index)
{
    const SplitterSetting setting = ReleasedBarSetting(controls_, index, FrameTwips());
    if (!setting.fraction.isEmpty()
        && !session_->RunSettings().StoreLayoutText(setting.key, setting.fraction))
        qCWarning(lcSettings) << "splitter" << index << "not stored";
    LayOut();
}
