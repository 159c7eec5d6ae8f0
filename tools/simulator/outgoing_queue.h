#pragma once
// Bytes waiting for their moment to go to the master, in order of that moment. The queue holds at
// most a fixed number of bytes; a transmission that does not fit is refused whole.

#include <cstddef>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "answer_plan.h"
#include "wire_log.h"

namespace sim {

class OutgoingQueue {
public:
    explicit OutgoingQueue(std::size_t capacity) : capacity_(capacity) {}

    // Queues the pieces, each due `start` plus its offset. False if they do not fit.
    bool Add(Clock::time_point start, std::vector<Piece> pieces);
    bool Empty() const { return pieces_.empty(); }
    std::optional<Clock::time_point> NextDue() const;
    // Writes every piece that is due, logging each transmission as it starts. Stops early when the
    // descriptor takes no more; Blocked() then says so until a later call gets through.
    void WriteDue(int fd, Clock::time_point now, WireLog& log);
    bool Blocked() const { return blocked_; }
    void Clear();

private:
    std::size_t capacity_;
    std::size_t bytes_ = 0;
    bool blocked_ = false;
    // Equal moments keep the order in which they were added.
    std::multimap<Clock::time_point, Piece> pieces_;
};

}  // namespace sim
