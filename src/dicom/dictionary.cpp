#include "dicom/dictionary.h"

namespace tarven::dicom {

namespace {
constexpr char CR = '\r';

int upperHex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The key "GGGG,EEEE" standing at text[p..p+9), or -1.
std::int64_t keyAt(std::string_view text, std::size_t p)
{
    if (p + 9 > text.size() || text[p + 4] != ',')
        return -1;
    std::uint32_t key = 0;
    for (std::size_t i = 0; i < 9; ++i) {
        if (i == 4)
            continue;
        const int d = upperHex(text[p + i]);
        if (d < 0)
            return -1;
        key = (key << 4) | static_cast<std::uint32_t>(d);
    }
    return key;
}

std::string_view nameAt(std::string_view text, std::size_t p)
{
    const std::size_t from = p + 11;
    if (from > text.size())
        return {};
    const std::size_t to = text.find(CR, from);
    return text.substr(from, (to == std::string_view::npos ? text.size() : to) - from);
}

std::string keyText(std::uint16_t group, std::uint16_t element)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string k(9, ',');
    for (int i = 0; i < 4; ++i) {
        k[static_cast<std::size_t>(3 - i)] = digits[(group >> (4 * i)) & 0xF];
        k[static_cast<std::size_t>(8 - i)] = digits[(element >> (4 * i)) & 0xF];
    }
    return k;
}
} // namespace

std::string joinDictionary(std::span<const char* const> table)
{
    std::string text;
    for (const char* s : table) {
        const std::string_view v(s);
        if (v == recordMarker) {
            text += CR;
        } else {
            text += v;
            text += ' ';
        }
    }
    return text;
}

const std::string& builtinDictionaryText()
{
    static const std::string text = joinDictionary(dictionaryTable);
    return text;
}

std::string_view findName(std::string_view text, std::uint16_t group, std::uint16_t element)
{
    const std::size_t p = text.find(keyText(group, element));
    return p == std::string_view::npos ? std::string_view{} : nameAt(text, p);
}

std::string vrOfName(std::string_view name)
{
    // Bytes: a Japanese character counts as several.
    std::size_t best = std::string_view::npos;
    for (std::size_t i = 0; i + 3 < name.size(); ++i) {
        const auto b1 = static_cast<unsigned char>(name[i + 1]);
        const auto b2 = static_cast<unsigned char>(name[i + 2]);
        if (name[i] == ' ' && name[i + 3] == ' ' && b1 > 32 && b2 > 32)
            best = i;
    }
    if (best == std::string_view::npos)
        return {};
    std::string vr(name.substr(best + 1, 2));
    return vr == "SQ" ? std::string("SQ2") : vr;
}

Dictionary::Dictionary(std::string text) : text_(std::move(text))
{
    // Any occurrence of a key has its comma at the key's fifth character, so
    // indexing every comma with four upper-case hexadecimal digits on either
    // side, first occurrence kept, answers exactly as a search of the text.
    const std::string_view t(text_);
    for (std::size_t c = t.find(','); c != std::string_view::npos; c = t.find(',', c + 1)) {
        if (c < 4)
            continue;
        const std::int64_t key = keyAt(t, c - 4);
        if (key >= 0)
            first_.emplace(static_cast<std::uint32_t>(key), c - 4);
    }
}

std::string_view Dictionary::name(std::uint16_t group, std::uint16_t element) const
{
    const auto it = first_.find((std::uint32_t{group} << 16) | element);
    return it == first_.end() ? std::string_view{} : nameAt(text_, it->second);
}

const Dictionary& builtinDictionary()
{
    static const Dictionary dict(builtinDictionaryText());
    return dict;
}

} // namespace tarven::dicom
