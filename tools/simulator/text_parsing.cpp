#include "text_parsing.h"

#include <charconv>
#include <stdexcept>

namespace sim {

namespace {

constexpr std::size_t kMaxListItems = 255;

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + 1);
    }
}

template <typename T>
std::vector<T> ParseList(std::string_view text, unsigned long max, std::string_view what) {
    std::vector<std::string_view> items = SplitAt(text, ',');
    if (items.size() == 2 && items.back().empty()) {
        items.pop_back();  // "9," is a list of one
    }
    std::vector<T> values;
    for (const std::string_view item : items) {
        if (values.size() == kMaxListItems) {
            throw std::invalid_argument("too many items in '" + std::string(text) + "'");
        }
        values.push_back(static_cast<T>(ParseNumber(item, max, what)));
    }
    return values;
}

// `digits`, the whole of `text` or its end, read in `base`, from 0 to `max`.
unsigned long ParseDigits(std::string_view text, std::string_view digits, int base,
                          unsigned long max, std::string_view what, std::string_view note) {
    unsigned long value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > max) {
        throw std::invalid_argument("bad " + std::string(what) + " '" + std::string(text) +
                                    "' (0 to " + std::to_string(max) + std::string(note) + ")");
    }
    return value;
}

}  // namespace

unsigned long ParseNumber(std::string_view text, unsigned long max, std::string_view what) {
    return ParseDigits(text, text, 10, max, what, "");
}

unsigned long ParseCode(std::string_view text, unsigned long max, std::string_view what) {
    constexpr std::string_view kNote = ", or in hexadecimal after 0x";
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return ParseDigits(text, text.substr(2), 16, max, what, kNote);
    }
    return ParseDigits(text, text, 10, max, what, kNote);
}

AddressSet ParseAddressSet(std::string_view text) {
    AddressSet set;
    for (const std::string_view item : SplitAt(text, ',')) {
        const std::vector<std::string_view> ends = SplitAt(item, '-');
        if (ends.size() > 2) {
            throw std::invalid_argument("bad address range '" + std::string(item) + "'");
        }
        const unsigned long first = ParseNumber(ends.front(), 255, "address");
        const unsigned long last = ParseNumber(ends.back(), 255, "address");
        if (first > last) {
            throw std::invalid_argument("empty address range '" + std::string(item) + "'");
        }
        for (unsigned long address = first; address <= last; ++address) {
            set.set(address);
        }
    }
    return set;
}

std::vector<std::size_t> ParseSizes(std::string_view text) {
    return ParseList<std::size_t>(text, 255, "piece size");
}

Bytes ParseByteList(std::string_view text) {
    return ParseList<std::uint8_t>(text, 255, "byte");
}

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r", at)) != std::string_view::npos) {
        const std::size_t end = line.find_first_of(" \t\r", at);
        words.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

}  // namespace sim
