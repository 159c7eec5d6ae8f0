#pragma once
// Cuts the control input into lines. A line may be at most kMaxLine characters long; a longer one
// is reported as such and not kept.

#include <span>
#include <string>
#include <vector>

namespace sim {

class LineReader {
public:
    static constexpr std::size_t kMaxLine = 256;

    struct Line {
        std::string text;
        bool tooLong = false;
    };

    std::vector<Line> Feed(std::span<const char> bytes);

private:
    std::string partial_;
    bool overflow_ = false;
};

}  // namespace sim
