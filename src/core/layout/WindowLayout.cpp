#include "WindowLayout.h"

#include "core/settings/Settings.h"
#include "core/text/TextHelpers.h"

#include <cmath>
#include <optional>

MainWindowControls DesignControls()
{
    MainWindowControls c;
    c.grid = { 0, 360, 10095, 2055 };
    c.bar1 = { 3240, 360, kSplitterThickness, 6885 };
    c.bar0 = { 0, 2880, 10005, kSplitterThickness };
    c.browser = { 0, 3000, 10215, 3015 };
    c.bar0Visible = true;
    c.bar1Visible = true;
    return c;
}

namespace {

int RoundTwips(double value)
{
    return int(std::lround(value));
}

// A size the toolkit would refuse leaves the old one.
void SetSize(int& field, int value)
{
    if (value >= 0)
        field = value;
}

// Bar position from the stored fraction; the default is the given fraction,
// or where the bar is now.
void PlaceFromSetting(int& position, int windowSize, const QString& key, const LayoutSettingReader& read,
    std::optional<double> defaultFraction = std::nullopt)
{
    if (windowSize == 0)
        return; // the current fraction cannot be formed: skip the step
    const QString current = NumberText(defaultFraction.value_or(double(position) / double(windowSize)));
    const QString stored = read ? read(key, current) : current;
    const double value = LeadingNumber(stored) * double(windowSize);
    if (std::isfinite(value) && std::fabs(value) < 1e9)
        position = RoundTwips(value);
}

void Clamp(int& position, int windowSize)
{
    if (position > windowSize - kBarMaximumMargin)
        position = windowSize - kBarMaximumMargin;
    if (position < kBarMinimum)
        position = kBarMinimum;
}

} // namespace

MainWindowControls LayOutMainWindow(int windowWidth, int windowHeight, bool sideBySide,
    const MainWindowControls& current, const LayoutSettingReader& readSetting)
{
    MainWindowControls c = current;
    TwipsRect& grid = c.grid;
    TwipsRect& browser = c.browser;
    TwipsRect& bar0 = c.bar0;
    TwipsRect& bar1 = c.bar1;

    PlaceFromSetting(bar0.top, windowHeight, QString::fromLatin1(Settings::kSplitHorizontal), readSetting);
    const double designGridShare = double(DesignControls().bar1.left) / kDesignClientWidth;
    PlaceFromSetting(
        bar1.left, windowWidth, QString::fromLatin1(Settings::kSplitVertical), readSetting, designGridShare);
    Clamp(bar0.top, windowHeight);
    Clamp(bar1.left, windowWidth);

    grid.left = 0;
    SetSize(grid.width, sideBySide ? bar1.left - grid.left : windowWidth - 150);
    grid.top = kLayoutTop;
    SetSize(grid.height, sideBySide ? windowHeight - grid.top - 600 : bar0.top - grid.top);

    bar0.left = grid.left;
    SetSize(bar0.width, grid.width);
    bar1.top = grid.top;
    SetSize(bar1.height, grid.height);

    browser.left = sideBySide ? bar1.left + bar1.width : 0;
    SetSize(browser.width, sideBySide ? windowWidth - browser.left - 150 : windowWidth - 180);
    browser.top = sideBySide ? grid.top : bar0.top + bar0.height;
    SetSize(browser.height, sideBySide ? grid.height : windowHeight - browser.top - 500);

    c.bar1Visible = sideBySide;
    c.bar0Visible = !c.bar1Visible;
    return c;
}

int DragSplitterPosition(int mouse, int containerOrigin, int containerSize, int barThickness)
{
    int pos = mouse - containerOrigin - kDragOffset;
    if (pos < kBarMinimum)
        pos = kBarMinimum;
    const int maximum = containerSize - barThickness - kBarMaximumMargin;
    if (pos > maximum)
        pos = maximum;
    return pos;
}

QString SplitterFractionText(int barPosition, int windowSize)
{
    if (windowSize == 0)
        return {};
    return SingleText(float(double(barPosition) / double(windowSize)));
}

QString SplitterKey(int index)
{
    return QString::fromLatin1(index != 0 ? Settings::kSplitVertical : Settings::kSplitHorizontal);
}

MainWindowControls DragBar(
    MainWindowControls controls, int index, int mouseX, int mouseY, const TwipsRect& frame)
{
    TwipsRect& bar = index != 0 ? controls.bar1 : controls.bar0;
    if (IsVerticalBar(bar))
        bar.left = DragSplitterPosition(mouseX, frame.left, frame.width, bar.width);
    else
        bar.top = DragSplitterPosition(mouseY, frame.top, frame.height, bar.height);
    return controls;
}

SplitterSetting ReleasedBarSetting(const MainWindowControls& controls, int index, const TwipsRect& frame)
{
    const QString fraction = index != 0 ? SplitterFractionText(controls.bar1.left, frame.width)
                                        : SplitterFractionText(controls.bar0.top, frame.height);
    return { SplitterKey(index), fraction };
}
