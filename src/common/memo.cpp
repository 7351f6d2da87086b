#include "common/memo.h"

namespace tarven {

MemoLines::MemoLines(std::vector<std::string> lines) : lines_(std::move(lines))
{
    if (lines_.empty())
        lines_.emplace_back();
}

void MemoLines::clear() { lines_.assign(1, std::string()); }

void MemoLines::setLine(std::ptrdiff_t index, std::string_view text)
{
    if (index < 0 || static_cast<std::size_t>(index) >= lines_.size())
        return;
    auto pieces = splitCrLf(text);
    auto at = lines_.begin() + index;
    *at = std::move(pieces.front());
    lines_.insert(at + 1, std::make_move_iterator(pieces.begin() + 1), std::make_move_iterator(pieces.end()));
}

std::vector<std::string> splitCrLf(std::string_view text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto at = text.find("\r\n", start);
        if (at == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            return out;
        }
        out.emplace_back(text.substr(start, at - start));
        start = at + 2;
    }
}

} // namespace tarven
