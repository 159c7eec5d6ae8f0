#pragma once
// Turns an answer into the pieces that go on the wire and when each is due, as the faults of its
// poll address ask: late, cut with pauses, after garbage, oversized, under another address, with
// a wrong checksum, twice, and paced at the line's speed.

#include <chrono>
#include <random>
#include <string_view>
#include <vector>

#include "faults.h"
#include "wire_format.h"

namespace sim {

using Clock = std::chrono::steady_clock;

struct Piece {
    Clock::duration offset;  // from the moment the request arrived
    Bytes bytes;
    // The first piece of a transmission names it and carries all of its bytes, for the log.
    std::string_view tag;
    Bytes whole;
};

// `byteTime` is zero, or the time one byte takes on the line when answers are paced.
std::vector<Piece> PlanAnswer(const Faults& faults, Answer answer, std::mt19937& random,
                              Clock::duration byteTime);

}  // namespace sim
