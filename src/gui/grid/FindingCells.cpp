#include "FindingCells.h"

#include "core/address/AdminDivisions.h"
#include "core/grid/GridSteps.h"
#include "core/grid/TradeGrid.h"
#include "core/trade/TradeColumns.h"

#include <algorithm>

namespace {

// The cells among first … last that hold nothing.
QList<int> EmptyCells(const TradeGrid& grid, int row, int first, int last)
{
    QList<int> cols;
    for (int col = first; col <= last; ++col)
        if (CellOrEmpty(grid, row, col).isEmpty())
            cols.append(col);
    return cols;
}

// The city when the division list does not place it in the province, else
// the district when it does not place that in the city; both when the list
// places each (a row whose cells changed since the check).
QList<int> DoubtedDivisions(const TradeGrid& grid, int row)
{
    const AdminDivisions& divisions = AdminDivisions::National();
    const QString province = CellOrEmpty(grid, row, ColProvince);
    const QString city = CellOrEmpty(grid, row, ColCity);
    const QString district = CellOrEmpty(grid, row, ColDistrict);
    if (!city.isEmpty() && !divisions.IsCityOf(province, city))
        return { ColCity };
    if (!district.isEmpty() && !divisions.IsDistrictOf(province, city, district))
        return { ColDistrict };
    return { ColCity, ColDistrict };
}

} // namespace

QList<int> FindingColumns(const Finding& finding, const TradeGrid& grid, int row)
{
    QList<int> cols;
    switch (finding.kind) {
    case FindingKind::AddressToCheck:
        cols = DoubtedDivisions(grid, row);
        break;
    case FindingKind::ToShipWithoutRecipient:
        cols = EmptyCells(grid, row, ColRecipient, ColPostcode);
        break;
    case FindingKind::ParcelsUnread:
        cols = { ColCompany, ColWaybill };
        break;
    case FindingKind::FieldShape:
        // The recipient refused: the line's pieces could not be told apart
        // and none was written. The address refused: the street's province
        // was not found, and 省/市/区 went with it.
        if (finding.column == ColRecipient)
            cols = EmptyCells(grid, row, ColRecipient, ColPostcode);
        else if (finding.column == ColAddress)
            cols = EmptyCells(grid, row, ColProvince, ColAddress);
        break;
    default:
        break;
    }
    const int named = finding.column >= 0 ? finding.column : int(ColOrderNumber);
    if (!cols.contains(named) && (finding.column < 0 || finding.kind != FindingKind::AddressToCheck))
        cols.append(named);
    std::sort(cols.begin(), cols.end());
    return cols;
}
