#pragma once
// The memo line rule: lines are addressed from 0; clearing leaves one empty
// line 0; writing a text to line i replaces that line and the text's own
// CR LF breaks make further lines (inserted after it); writing to a line that
// does not exist does nothing.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarven {

class MemoLines {
public:
    MemoLines() = default;
    explicit MemoLines(std::vector<std::string> lines);

    void clear();
    void setLine(std::ptrdiff_t index, std::string_view text);
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_{std::string()};
};

// Splits a text at its CR LF breaks ("a\r\nb\r\n" -> "a", "b", "").
std::vector<std::string> splitCrLf(std::string_view text);

} // namespace tarven
