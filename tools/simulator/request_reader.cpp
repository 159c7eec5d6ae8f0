#include "request_reader.h"

#include <algorithm>
#include <optional>

namespace sim {

namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
constexpr std::size_t kMinPreambles = 2;
// A longer run of preambles is kept only this far back; the rest cannot change the frame.
constexpr std::size_t kMaxPreamblesKept = 20;
constexpr std::size_t kAddressOffset = 1;  // from the delimiter

bool IsPrimaryMasterAddress(std::uint8_t byte) {
    return (byte & (kPrimaryMaster | kBurstMode)) == kPrimaryMaster;
}

// A 2 behind preambles starts a short frame only with the address byte of a primary master
// request (or before that byte has come): elsewhere a 2 is common, and taking every one for a
// frame would hold back the requests behind it until the line falls quiet.
bool IsDelimiterAt(const Bytes& bytes, std::size_t at) {
    if (bytes[at] == kShortRequestDelimiter) {
        return at + 1 == bytes.size() || IsPrimaryMasterAddress(bytes[at + 1]);
    }
    return bytes[at] == kRequestDelimiter;
}

std::size_t AddressLength(std::uint8_t delimiter) {
    return delimiter == kShortRequestDelimiter ? kShortAddressLength : kLongAddressLength;
}

// Index of the first delimiter behind at least two preambles, or kNotFound.
std::size_t FindDelimiter(const Bytes& bytes) {
    for (std::size_t i = kMinPreambles; i < bytes.size(); ++i) {
        if (bytes[i - 1] == kPreamble && bytes[i - 2] == kPreamble && IsDelimiterAt(bytes, i)) {
            return i;
        }
    }
    return kNotFound;
}

// How a good frame addresses its device, or nothing when it is meant for none of them.
std::optional<Addressing> AddressingOf(std::uint8_t delimiter,
                                       std::span<const std::uint8_t> address) {
    if (delimiter == kShortRequestDelimiter) {
        return Addressing::Short;  // its address byte was checked with the delimiter
    }
    const auto fillers = address.first(kAddressFillers);
    if (std::all_of(fillers.begin(), fillers.end(),
                    [](std::uint8_t b) { return b == kPreamble; })) {
        return Addressing::Poll;
    }
    if (IsPrimaryMasterAddress(address.front())) {
        return Addressing::Unique;
    }
    return std::nullopt;
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
        const std::size_t commandAt =
            delimiter + kAddressOffset + AddressLength(pending_[delimiter]);
        const std::size_t countAt = commandAt + 1;
        if (pending_.size() <= countAt) {
            return;
        }
        const std::size_t checksumAt = countAt + 1 + pending_[countAt];
        if (pending_.size() <= checksumAt) {
            return;
        }
        const auto frame = std::span(pending_).subspan(delimiter, checksumAt - delimiter);
        if (XorOf(frame) != pending_[checksumAt]) {
            Reject(events, Kind::BadChecksum, delimiter, checksumAt + 1);
            continue;
        }
        const auto address = std::span(pending_).subspan(delimiter + kAddressOffset,
                                                         commandAt - delimiter - kAddressOffset);
        const std::optional<Addressing> addressing = AddressingOf(pending_[delimiter], address);
        Request request{addressing.value_or(Addressing::Poll),
                        Bytes(address.begin(), address.end()), pending_[commandAt],
                        Bytes(pending_.begin() + static_cast<std::ptrdiff_t>(countAt) + 1,
                              pending_.begin() + static_cast<std::ptrdiff_t>(checksumAt))};
        Emit(events, addressing ? Kind::Request : Kind::OtherAddressing, checksumAt + 1);
        if (addressing) {
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
