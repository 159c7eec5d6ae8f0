#include "wire_log.h"

#include <cerrno>
#include <system_error>

namespace sim {

void WireLog::Closer::operator()(std::FILE* file) const {
    if (file != stderr) {
        std::fclose(file);
    }
}

WireLog::WireLog(const std::string& destination, std::chrono::steady_clock::time_point start)
    : file_(destination == "-" ? stderr : std::fopen(destination.c_str(), "w")), start_(start) {
    if (!file_) {
        throw std::system_error(errno, std::generic_category(), "cannot write " + destination);
    }
}

void WireLog::Record(std::string_view tag, std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(byte);
    }
    Line(tag, text);
}

void WireLog::Note(std::string_view tag, std::string_view text) {
    Line(tag, text);
}

void WireLog::Line(std::string_view tag, std::string_view text) {
    if (!file_) {
        return;
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start_;
    std::fprintf(file_.get(), "%.3f %.*s%s%.*s\n", elapsed.count(), static_cast<int>(tag.size()),
                 tag.data(), text.empty() ? "" : " ", static_cast<int>(text.size()), text.data());
    // Readers follow the file while the simulator runs.
    std::fflush(file_.get());
}

}  // namespace sim
