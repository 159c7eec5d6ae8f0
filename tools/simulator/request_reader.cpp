#include "request_reader.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
constexpr std::size_t kMinPreambles = 2;
// A longer run of preambles is kept only this far back; the rest cannot change the frame.
constexpr std::size_t kMaxPreamblesKept = 20;
// Offsets from the delimiter: four address fillers, poll address, command, count, data.
constexpr std::size_t kAddressOffset = 5;
constexpr std::size_t kCommandOffset = 6;
constexpr std::size_t kCountOffset = 7;

// Index of the first delimiter behind at least two preambles, or kNotFound.
std::size_t FindDelimiter(const Bytes& bytes) {
    for (std::size_t i = kMinPreambles; i < bytes.size(); ++i) {
        if (bytes[i] == kRequestDelimiter && bytes[i - 1] == kPreamble &&
            bytes[i - 2] == kPreamble) {
            return i;
        }
    }
    return kNotFound;
}

// Start of the run of preambles that ends just before `end`, at most kMaxPreamblesKept long.
std::size_t PreambleStart(const Bytes& bytes, std::size_t end) {
    std::size_t start = end;
    while (start > 0 && end - start < kMaxPreamblesKept && bytes[start - 1] == kPreamble) {
        --start;
    }
    return start;
}

}  // namespace

std::vector<RequestReader::Event> RequestReader::Feed(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Event> events;
    Scan(events);
    return events;
}

std::vector<RequestReader::Event> RequestReader::Expire() {
    std::vector<Event> events;
    const std::size_t delimiter = FindDelimiter(pending_);
    if (delimiter == kNotFound) {
        pending_.clear();  // only preambles were waiting for a delimiter
        return events;
    }
    Reject(events, Kind::Incomplete, delimiter, pending_.size());
    Scan(events);
    return events;
}

void RequestReader::Scan(std::vector<Event>& events) {
    for (;;) {
        const std::size_t delimiter = FindDelimiter(pending_);
        if (delimiter == kNotFound) {
            // Trailing preambles may still be followed by a delimiter.
            const std::size_t keep = PreambleStart(pending_, pending_.size());
            if (keep > 0) {
                Emit(events, Kind::Garbage, keep);
            }
            return;
        }
        const std::size_t start = PreambleStart(pending_, delimiter);
        if (start > 0) {
            Emit(events, Kind::Garbage, start);
            continue;
        }
        if (pending_.size() <= delimiter + kCountOffset) {
            return;
        }
        const std::size_t checksumAt =
            delimiter + kCountOffset + 1 + pending_[delimiter + kCountOffset];
        if (pending_.size() <= checksumAt) {
            return;
        }
        const auto frame = std::span(pending_).subspan(delimiter, checksumAt - delimiter);
        if (XorOf(frame) != pending_[checksumAt]) {
            Reject(events, Kind::BadChecksum, delimiter, checksumAt + 1);
            continue;
        }
        const auto fillers = frame.subspan(1, kAddressFillers);
        const bool ours = std::all_of(fillers.begin(), fillers.end(),
                                      [](std::uint8_t b) { return b == kPreamble; });
        Request request{frame[kAddressOffset], frame[kCommandOffset],
                        Bytes(frame.begin() + kCountOffset + 1, frame.end())};
        Emit(events, ours ? Kind::Request : Kind::OtherAddressing, checksumAt + 1);
        if (ours) {
            events.back().request = std::move(request);
        }
    }
}

void RequestReader::Reject(std::vector<Event>& events, Kind kind, std::size_t delimiter,
                           std::size_t length) {
    Emit(events, kind, length);
    const Bytes& rejected = events.back().bytes;
    pending_.insert(pending_.begin(), rejected.begin() + static_cast<std::ptrdiff_t>(delimiter) + 1,
                    rejected.end());
}

void RequestReader::Emit(std::vector<Event>& events, Kind kind, std::size_t length) {
    const auto end = pending_.begin() + static_cast<std::ptrdiff_t>(length);
    events.push_back(Event{kind, Bytes(pending_.begin(), end), {}});
    pending_.erase(pending_.begin(), end);
}

}  // namespace sim
