#pragma once
// The text cells of the MTF window's pixel table. Cell (column c, row r);
// row 0 and column 0 are the headings. A 2049 x 2049 table holds over four
// million cells, so the texts live in one character arena with a small
// (offset, length) entry per cell instead of one string object each.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarven::mtf {

class CellTable {
public:
    CellTable() = default;
    CellTable(std::int32_t columns, std::int32_t rows) { resize(columns, rows); }

    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }

    // New dimensions; cells that still lie inside keep their texts, new cells
    // are empty, cells that fall outside are dropped (a grid's own rule).
    void resize(std::int32_t columns, std::int32_t rows);

    // The text of a cell; a cell outside the table reads as empty.
    std::string_view cell(std::int32_t c, std::int32_t r) const;
    // Writing outside the table does nothing.
    void setCell(std::int32_t c, std::int32_t r, std::string_view text);

    // The cell as a number / an integer, with the conversion error of its text.
    double number(std::int32_t c, std::int32_t r) const;
    std::int32_t integer(std::int32_t c, std::int32_t r) const;

    bool contains(std::int32_t c, std::int32_t r) const
    {
        return c >= 0 && r >= 0 && c < columns_ && r < rows_;
    }

private:
    struct Entry {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    std::size_t index(std::int32_t c, std::int32_t r) const
    {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
    }
    void compact();

    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    std::vector<Entry> entries_;
    std::string arena_;
    std::size_t liveBytes_ = 0;
};

} // namespace tarven::mtf
