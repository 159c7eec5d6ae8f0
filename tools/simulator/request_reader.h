#pragma once
// Finds request frames in the bytes that arrive from the master: at least two preambles, the start
// delimiter, five address bytes (one in a short frame), command, count, data and checksum.
// Whatever is no request is reported and skipped. After a rejected frame the search resumes right
// behind its delimiter, so a good request that a broken one swallowed is still found.

#include <cstdint>
#include <span>
#include <vector>

#include "wire_format.h"

namespace sim {

class RequestReader {
public:
    enum class Kind {
        Request,          // a good frame in one of the forms of Addressing
        BadChecksum,      // a complete frame whose checksum does not match
        OtherAddressing,  // a good long frame from no primary master, or in burst mode
        Garbage,          // bytes outside any frame
        Incomplete,       // a frame that stopped before its end (see Expire)
    };
    struct Event {
        Kind kind;
        Bytes bytes;      // as received, preambles included
        Request request;  // for Kind::Request
    };

    std::vector<Event> Feed(std::span<const std::uint8_t> bytes);
    // Gives up on a frame that has stopped arriving, and looks behind its delimiter again.
    std::vector<Event> Expire();
    // True while bytes are held that may still become a request.
    bool Waiting() const { return !pending_.empty(); }
    void Clear() { pending_.clear(); }

private:
    void Scan(std::vector<Event>& events);
    // Reports the first `length` bytes and drops them.
    void Emit(std::vector<Event>& events, Kind kind, std::size_t length);
    // Reports a broken frame and keeps what follows its delimiter for another look.
    void Reject(std::vector<Event>& events, Kind kind, std::size_t delimiter, std::size_t length);

    Bytes pending_;
};

}  // namespace sim
