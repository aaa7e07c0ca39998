#include "GridOperations.h"

#include "TradeGrid.h"
#include "common/TextHelpers.h"
#include "common/TextMeasurer.h"
#include "progress/Progress.h"

#include <cmath>

void AutoFitColumns(const TextMeasurer& window, TradeGrid& grid, int firstRow, bool showProgress)
{
    const bool progress = grid.Rows() > 200 && showProgress;
    if (progress)
        StartProgress(QStringLiteral("正在做交易数据表格进行格式设置……"), grid.Cols(), 0);
    struct CloseOnExit {
        bool active;
        ~CloseOnExit()
        {
            if (active)
                CloseProgress();
        }
    } closer{progress};

    if (grid.Rows() <= grid.FixedRows())
        firstRow = 0;
    const int rows = grid.Rows();
    const int cols = grid.Cols();
    const double half = grid.Width() / 2.0;
    for (int c = 0; c < cols; ++c) {
        double width = 0;
        if (c >= grid.FixedCols() - 1) {
            for (int r = std::max(firstRow, 0); r < rows; ++r) {
                const QString& text = grid.TextMatrix(r, c);
                if (!text.isEmpty())
                    width = std::max(width, window.TextWidth(text));
            }
            if (width != 0 && grid.FixedRows() > 0)
                width = std::max(width, window.TextWidth(grid.TextMatrix(grid.FixedRows() - 1, c)));
        }
        width += width != 0 ? 100 : 50;
        if (width > half)
            width = half;
        grid.SetColWidth(c, int(std::nearbyint(width)));
        if (progress)
            StepProgress(1, QStringLiteral("pages"));
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
    if (first < grid.FixedRows())
        first = grid.FixedRows();
    if (last >= grid.Rows())
        last = grid.Rows() - 1;
    const qint64 count = qint64(last) - first + 1;
    if (count > 0) {
        QVector<int> rows;
        rows.reserve(int(count));
        for (int r = first; r <= last; ++r)
            rows.append(r);
        grid.RemoveRowsSorted(rows);
    }
    grid.SetVisible(true);
}

std::pair<int, int> FindCell(const TradeGrid& grid, int firstRow, int firstCol, int lastRow, int lastCol,
                             const QString& text)
{
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstCol; c <= lastCol; ++c)
            if (grid.TextMatrix(r, c) == text)
                return {r, c};
    return {-1, -1};
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
