#include "GridOperations.h"

#include "GridSetup.h"
#include "TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/text/TextHelpers.h"
#include "core/text/TextMeasurer.h"

#include <QVector>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr double kStripWidth = 50; // twips, column 0 and any unmeasured column
constexpr double kTextMargin = 100; // twips added to the widest text
constexpr int kProgressAboveRows = 200;

// Closes the progress window however the fit ends.
class ProgressScope {
public:
    explicit ProgressScope(Progress* active)
        : active_(active)
    {
    }
    ~ProgressScope()
    {
        if (active_)
            CloseProgress(*active_);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Progress* active_;
};

double WidestText(const TextMeasurer& window, const TradeGrid& grid, int col, int firstRow)
{
    double widest = 0;
    for (int r = firstRow; r < grid.Rows(); ++r) {
        const QString& text = grid.TextMatrix(r, col);
        if (!text.isEmpty())
            widest = std::max(widest, window.TextWidth(text));
    }
    return widest;
}

} // namespace

void AutoFitColumns(const TextMeasurer& window, TradeGrid& grid, int firstRow, Progress* showProgress)
{
    if (firstRow < 0)
        throw GridRangeError("first row to measure is negative");
    Progress* progress = grid.Rows() > kProgressAboveRows ? showProgress : nullptr;
    // Columns kept out of sight are not fitted: they stay hidden.
    const int fitted = std::min(grid.Cols(), kShownTradeColumns);
    if (progress)
        StartProgress(*progress, QStringLiteral("正在做交易数据表格进行格式设置……"), fitted, 0);
    const ProgressScope closer(progress);

    // Without data rows the header rows are all there is to measure.
    if (grid.Rows() <= grid.FixedRows())
        firstRow = 0;
    const double half = grid.Width() / 2.0;
    const int titleRow = grid.FixedRows() - 1;
    for (int c = fitted; c < grid.Cols(); ++c)
        grid.SetColWidth(c, 0);
    for (int c = 0; c < fitted; ++c) {
        double width = 0;
        if (c >= grid.FixedCols() - 1) {
            width = WidestText(window, grid, c, firstRow);
            if (width != 0 && titleRow >= 0)
                width = std::max(width, window.TextWidth(grid.TextMatrix(titleRow, c)));
        }
        width += width != 0 ? kTextMargin : kStripWidth;
        if (width > half)
            width = half;
        grid.SetColWidth(c, int(RoundHalfToEven(std::max(width, 0.0))));
        if (progress)
            StepProgress(*progress, 1, ProgressPagesMode());
    }
}

void DeleteRows(TradeGrid& grid, int first, int last)
{
    if (grid.FixedRows() == grid.Rows()) {
        grid.SetVisible(true);
        return;
    }
    grid.SetVisible(false);
    if (last < first)
        std::swap(first, last);
    first = std::max(first, grid.FixedRows());
    last = std::min(last, grid.Rows() - 1);
    // Counted wide: any number of selected rows is deleted.
    const qint64 count = qint64(last) - first + 1;
    if (count > 0) {
        QVector<int> rows(count);
        std::iota(rows.begin(), rows.end(), first);
        grid.RemoveRowsSorted(rows); // clamped above: inside the grid
    }
    grid.SetVisible(true);
}

std::pair<int, int> FindCell(
    const TradeGrid& grid, int firstRow, int firstCol, int lastRow, int lastCol, const QString& text)
{
    // Wide counters: a last row or column of INT_MAX must not overflow.
    for (qint64 r = firstRow; r <= lastRow; ++r)
        for (qint64 c = firstCol; c <= lastCol; ++c)
            if (grid.TextMatrix(int(r), int(c)) == text)
                return { int(r), int(c) };
    return { -1, -1 };
}

double SumColumn(const TradeGrid& grid, int col)
{
    if (col < 0 || col > grid.Cols() - 1)
        return 0;
    double sum = 0;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        sum += LeadingNumber(grid.TextMatrix(r, col));
    return sum;
}
