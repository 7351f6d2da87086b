#include "mtf/celltable.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <algorithm>

namespace tarven::mtf {

void CellTable::resize(std::int32_t columns, std::int32_t rows)
{
    columns = std::max<std::int32_t>(columns, 0);
    rows = std::max<std::int32_t>(rows, 0);
    std::vector<Entry> entries(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    std::string arena;
    std::size_t live = 0;
    const std::int32_t keepC = std::min(columns, columns_);
    const std::int32_t keepR = std::min(rows, rows_);
    for (std::int32_t r = 0; r < keepR; ++r)
        for (std::int32_t c = 0; c < keepC; ++c) {
            const Entry& old = entries_[index(c, r)];
            if (old.length == 0)
                continue;
            Entry& e = entries[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                               static_cast<std::size_t>(c)];
            e.offset = static_cast<std::uint32_t>(arena.size());
            e.length = old.length;
            arena.append(arena_, old.offset, old.length);
            live += old.length;
        }
    columns_ = columns;
    rows_ = rows;
    entries_ = std::move(entries);
    arena_ = std::move(arena);
    liveBytes_ = live;
}

std::string_view CellTable::cell(std::int32_t c, std::int32_t r) const
{
    if (!contains(c, r))
        return {};
    const Entry& e = entries_[index(c, r)];
    return std::string_view(arena_).substr(e.offset, e.length);
}

void CellTable::setCell(std::int32_t c, std::int32_t r, std::string_view text)
{
    if (!contains(c, r))
        return;
    Entry& e = entries_[index(c, r)];
    liveBytes_ -= e.length;
    if (text.size() <= e.length) {
        // Fits where the old text was: overwrite in place.
        arena_.replace(e.offset, text.size(), text);
        e.length = static_cast<std::uint32_t>(text.size());
    } else {
        // Rewritten tables leave dead texts behind; squeeze them out before
        // the arena outgrows 32-bit offsets or twice what is alive.
        if (arena_.size() + text.size() > 0xFFFFFFFFu ||
            (arena_.size() > (1u << 20) && arena_.size() > 2 * (liveBytes_ + text.size())))
            compact();
        if (arena_.size() + text.size() > 0xFFFFFFFFu)
            throw Error("The pixel table text is too large");
        e.offset = static_cast<std::uint32_t>(arena_.size());
        e.length = static_cast<std::uint32_t>(text.size());
        arena_.append(text);
    }
    liveBytes_ += e.length;
}

void CellTable::compact()
{
    std::string arena;
    arena.reserve(liveBytes_);
    for (Entry& e : entries_) {
        const auto offset = static_cast<std::uint32_t>(arena.size());
        arena.append(arena_, e.offset, e.length);
        e.offset = e.length ? offset : 0;
    }
    arena_ = std::move(arena);
}

double CellTable::number(std::int32_t c, std::int32_t r) const { return parseFloat(cell(c, r)); }

std::int32_t CellTable::integer(std::int32_t c, std::int32_t r) const { return parseInt(cell(c, r)); }

} // namespace tarven::mtf
