#pragma once
// Small pixel tables for the MTF engine tests.
#include "common/numeric.h"
#include "mtf/celltable.h"

#include <cstdint>
#include <vector>

namespace mtftest {

// A table whose data cells are the given rows (row 1 first), with headings
// 0, 1, 2, ... in row 0 and column 0; numbers in the general format.
inline tarven::mtf::CellTable tableOf(const std::vector<std::vector<double>>& rows)
{
    const auto h = static_cast<std::int32_t>(rows.size());
    const auto w = h ? static_cast<std::int32_t>(rows[0].size()) : 0;
    tarven::mtf::CellTable t(w + 1, h + 1);
    for (std::int32_t c = 1; c <= w; ++c)
        t.setCell(c, 0, tarven::formatInt(c - 1));
    for (std::int32_t r = 1; r <= h; ++r) {
        t.setCell(0, r, tarven::formatInt(r - 1));
        for (std::int32_t c = 1; c <= w; ++c)
            t.setCell(c, r, tarven::formatGeneral(rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)]));
    }
    return t;
}

// One data row.
inline tarven::mtf::CellTable rowTable(const std::vector<double>& row) { return tableOf({row}); }

// One data column.
inline tarven::mtf::CellTable columnTable(const std::vector<double>& column)
{
    std::vector<std::vector<double>> rows;
    for (double v : column)
        rows.push_back({v});
    return tableOf(rows);
}

} // namespace mtftest
