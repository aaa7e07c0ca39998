#pragma once
// What the workbook writer puts on the sheet, worked out from the visible
// grid: the cells packed without gaps, which rows are title rows, the
// column widths, and the extent of the bordered block.

#include "core/grid/GridSetup.h"

#include <QStringList>
#include <QVector>

class Progress;
class TradeGrid;

struct SheetPlan {
    struct Row {
        QStringList cells; // the grid texts, without the trailing TAB
        bool title = false;
    };
    QVector<Row> rows;
    // Width of each sheet column in spreadsheet units; -1 where no width is set.
    QVector<int> columnWidths;
    // Columns exported in the last row: the border block is A1 to this
    // column of the last row.
    int blockColumns = 0;
};

// Sheet column width for a grid width in twips.
int SheetColumnWidth(int gridTwips);

// Walks every grid row, stepping the progress once per row (hidden rows
// included); the note columns come last when asked for. Throws GridRangeError when the grid shrinks
// underneath.
SheetPlan PlanSheet(Progress& progress, const TradeGrid& grid, ExportNotes notes = ExportNotes::Without);
