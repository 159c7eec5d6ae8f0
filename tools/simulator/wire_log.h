#pragma once
// The optional log of the line: one line per frame received, per answer sent and per event, each
// with the milliseconds since the simulator started, a tag and the bytes in decimal:
//   1503.271 rx 255 255 255 130 255 255 255 255 1 1 0 130

#include <chrono>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace sim {

class WireLog {
public:
    WireLog() = default;  // records nothing
    // `destination` is a file name, or "-" for the standard error. Throws std::system_error.
    WireLog(const std::string& destination, std::chrono::steady_clock::time_point start);

    void Record(std::string_view tag, std::span<const std::uint8_t> bytes);
    void Note(std::string_view tag, std::string_view text);

private:
    void Line(std::string_view tag, std::string_view text);

    struct Closer {
        void operator()(std::FILE* file) const;
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace sim
