#include "RecipientMerge.h"

#include "core/base/Logging.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/progress/Progress.h"
#include "core/text/TextHelpers.h"
#include "core/trade/MergeRules.h"

#include <QHash>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <climits>

QStringList MergeKeyTexts(const TradeGrid& grid, int row)
{
    QStringList key;
    key.reserve(int(std::size(kMergeKeyColumns)));
    for (const int col : kMergeKeyColumns)
        key.append(grid.TextMatrix(row, col));
    return key;
}

namespace {

// One shipment: the topmost row and the rows below it with equal keys, in
// grid order.
struct Group {
    int keptRow = 0;
    QVector<int> others;
};

// Groups rows by their key texts in one pass. A row whose keys cannot be
// read, whose recipient is unknown or whose trade is closed, stays a group
// of its own.
QVector<Group> GroupRows(const TradeGrid& grid)
{
    QVector<Group> groups;
    QHash<QStringList, int> groupOfKey;
    groupOfKey.reserve(grid.Rows());
    // A grid without the key columns merges no row.
    const bool hasKeys = std::all_of(std::begin(kMergeKeyColumns), std::end(kMergeKeyColumns),
        [&](int col) { return col < grid.Cols(); });
    if (!hasKeys)
        qCWarning(lcGrid) << "the grid has no merge key columns: nothing merged";
    for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
        if (!hasKeys) {
            groups.append(Group { row, {} });
            continue;
        }
        const QStringList key = MergeKeyTexts(grid, row);
        if (!CanMergeRow(key.at(kRecipientKeyIndex), CellOrEmpty(grid, row, ColStatus))) {
            groups.append(Group { row, {} });
            continue;
        }
        const auto it = groupOfKey.constFind(key);
        if (it == groupOfKey.constEnd()) {
            groupOfKey.insert(key, int(groups.size()));
            groups.append(Group { row, {} });
        } else {
            groups[it.value()].others.append(row);
        }
    }
    return groups;
}

// The kept row's combined texts, columns 2 … Cols − 1.
QStringList CombineGroup(const TradeGrid& grid, const Group& group)
{
    QStringList combined;
    const int cols = grid.Cols();
    for (int col = kFirstMergedColumn; col < cols; ++col) {
        const MergeMode mode = MergeModeOf(col);
        QString s = CellOrEmpty(grid, group.keptRow, col);
        if (mode == MergeMode::Sum || mode == MergeMode::Join) {
            JoinedText joined(s);
            for (const int other : group.others) {
                QString t = CellOrEmpty(grid, other, col);
                if (col == ColOrderNumber)
                    t = WithoutFirstItemSuffix(t);
                if (mode == MergeMode::Sum)
                    s = SumText(s, t);
                else
                    joined.Add(t);
            }
            if (mode == MergeMode::Join)
                s = joined.Text();
        }
        combined.append(s);
    }
    return combined;
}

} // namespace

void MergeSameRecipient(Progress& progress, TradeGrid& grid)
{
    StartProgress(progress, QStringLiteral("正在合并相同收件人的记录..."), grid.Rows() - 1, 0);

    // Everything is computed before the grid changes and before any event
    // runs, so a command started from the window meanwhile cannot see or
    // cause a half-merged grid.
    const QVector<Group> groups = GroupRows(grid);
    QVector<QStringList> combined;
    combined.reserve(groups.size());
    QVector<int> removed;
    for (const Group& group : groups) {
        // A row without partners keeps its texts; only its height and
        // sequence cell are rewritten below.
        combined.append(group.others.isEmpty() ? QStringList() : CombineGroup(grid, group));
        removed += group.others;
    }
    std::sort(removed.begin(), removed.end());

    const bool wasVisible = grid.Visible();
    grid.SetVisible(false);
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const int row = groups[g].keptRow;
        const QStringList& texts = combined[g];
        for (qsizetype i = 0; i < texts.size(); ++i)
            SetCellIfInside(grid, row, kFirstMergedColumn + int(i), texts[i]);
    }
    grid.RemoveRowsSorted(removed);

    // Heights stay with row positions when rows are deleted, so each kept
    // row's final position is made (n + 1) times as tall; the sequence
    // column, which deletion leaves in place, reads 1 … n again.
    const int fixedRows = grid.FixedRows();
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const int position = fixedRows + int(g);
        // Each group keeps one row, so position is inside the grid.
        grid.SetRowHeight(position, ScaledRowHeight(grid.RowHeight(position), groups[g].others.size() + 1));
        SetCellIfInside(grid, position, ColSequence, QString::number(position - fixedRows + 1));
    }
    grid.SetVisible(wasVisible);

    for (qsizetype g = 0; g < groups.size(); ++g)
        StepProgress(progress, 1, ProgressPagesMode());
    CloseProgress(progress);
}
