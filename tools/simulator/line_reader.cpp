#include "line_reader.h"

namespace sim {

std::vector<LineReader::Line> LineReader::Feed(std::span<const char> bytes) {
    std::vector<Line> lines;
    for (const char c : bytes) {
        if (c == '\n') {
            lines.push_back({overflow_ ? std::string() : std::move(partial_), overflow_});
            partial_.clear();
            overflow_ = false;
        } else if (partial_.size() < kMaxLine) {
            partial_ += c;
        } else {
            overflow_ = true;
            partial_.clear();
        }
    }
    return lines;
}

}  // namespace sim
