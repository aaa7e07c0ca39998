#pragma once
// Placement of the trade grid, the browser and the two splitter bars in the
// main window, in twips. Pure functions: the window feeds in its sizes and
// current control rectangles and applies what comes back.

#include <QString>
#include <functional>

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The controls the layout pass moves, with the bars' visibility.
struct MainWindowControls {
    TwipsRect grid; // MSF
    TwipsRect browser; // WB
    TwipsRect bar0; // SL(0), horizontal bar of the vertical layout
    TwipsRect bar1; // SL(1), vertical bar of the side-by-side layout
    bool bar0Visible = false;
    bool bar1Visible = true;
};

// Design rectangles of the four controls, in a client area this wide.
MainWindowControls DesignControls();
inline constexpr int kDesignClientWidth = 12210;

inline constexpr int kSplitterThickness = 45;
inline constexpr int kLayoutTop = 360;
inline constexpr int kBarMinimum = 400;
inline constexpr int kBarMaximumMargin = 800;
inline constexpr int kDragOffset = 120;

// Reads a stored setting: (key, default text) -> text.
using LayoutSettingReader = std::function<QString(const QString& key, const QString& defaultText)>;

// The layout pass. windowWidth and windowHeight are the outer window size.
// A bar stands at its stored fraction of the window. With none stored, the
// vertical bar takes its design share of the width (the grid keeps the
// proportion it was drawn with, whatever the screen) and the horizontal bar
// stays where it is.
// Steps whose result would be a negative size keep that control's previous
// value and the pass goes on, as a toolkit refusing the size would.
MainWindowControls LayOutMainWindow(int windowWidth, int windowHeight, bool sideBySide,
    const MainWindowControls& current, const LayoutSettingReader& readSetting);

// The bar position while dragging. mouse is the cursor position along the
// drag axis in screen twips, containerOrigin the window's edge on that
// axis, containerSize the window's size along it and barThickness the bar's
// size along it.
int DragSplitterPosition(int mouse, int containerOrigin, int containerSize, int barThickness);

// A bar exactly kSplitterThickness wide moves left and right.
inline bool IsVerticalBar(const TwipsRect& bar)
{
    return bar.width == kSplitterThickness;
}

// The fraction stored when a bar is let go: bar position ÷ window size as
// single-precision text. The key is "Split_Top_1" for index 1 (any index
// but 0), else "Split_Top_0". Empty text when the window size is 0.
QString SplitterFractionText(int barPosition, int windowSize);
QString SplitterKey(int index);

// Bar index (1, any index but 0, or 0) moved as the drag of the cursor at
// (mouseX, mouseY) puts it; a bar that moves left and right follows the
// cursor's x, the other its y. frame is the window's outer rectangle; all
// in screen twips.
MainWindowControls DragBar(
    MainWindowControls controls, int index, int mouseX, int mouseY, const TwipsRect& frame);

// What letting go of bar index stores: the key and the bar's fraction of
// the window (frame's width for bar 1, its height for bar 0); an empty
// fraction stores nothing.
struct SplitterSetting {
    QString key;
    QString fraction;
};
SplitterSetting ReleasedBarSetting(const MainWindowControls& controls, int index, const TwipsRect& frame);
