#include "outgoing_queue.h"

#include <cerrno>
#include <numeric>

#include <unistd.h>

namespace sim {

bool OutgoingQueue::Add(Clock::time_point start, std::vector<Piece> pieces) {
    const std::size_t size = std::accumulate(
        pieces.begin(), pieces.end(), std::size_t{0},
        [](std::size_t sum, const Piece& piece) { return sum + piece.bytes.size(); });
    if (bytes_ + size > capacity_) {
        return false;
    }
    bytes_ += size;
    for (Piece& piece : pieces) {
        pieces_.emplace(start + piece.offset, std::move(piece));
    }
    return true;
}

std::optional<Clock::time_point> OutgoingQueue::NextDue() const {
    if (pieces_.empty()) {
        return std::nullopt;
    }
    return pieces_.begin()->first;
}

void OutgoingQueue::WriteDue(int fd, Clock::time_point now, WireLog& log) {
    blocked_ = false;
    while (!pieces_.empty() && pieces_.begin()->first <= now) {
        Piece& piece = pieces_.begin()->second;
        if (!piece.tag.empty()) {
            log.Record(piece.tag, piece.whole);
            piece.tag = {};
        }
        const ssize_t written = ::write(fd, piece.bytes.data(), piece.bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno == EAGAIN) {
            blocked_ = true;
            return;
        }
        // A failed write loses the piece; the master's side then sees what a broken line gives.
        const auto done = written < 0 ? piece.bytes.size() : static_cast<std::size_t>(written);
        bytes_ -= done;
        piece.bytes.erase(piece.bytes.begin(),
                          piece.bytes.begin() + static_cast<std::ptrdiff_t>(done));
        if (piece.bytes.empty()) {
            pieces_.erase(pieces_.begin());
        }
    }
}

void OutgoingQueue::Clear() {
    pieces_.clear();
    bytes_ = 0;
    blocked_ = false;
}

}  // namespace sim
