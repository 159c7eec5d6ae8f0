#include "answer_plan.h"

#include <algorithm>

namespace sim {

namespace {

Bytes FrameAsTold(const Faults& faults, Answer answer) {
    if (faults.answerAs) {
        answer.address.back() = *faults.answerAs;
    }
    if (faults.oversize != 0) {
        const std::size_t counted = StatusBytesCounted(answer.addressing);
        answer.data.resize(std::max(answer.data.size(), faults.oversize - counted));
    }
    Bytes frame = FrameAnswer(answer);
    if (faults.badChecksum) {
        frame.back() ^= 0xFF;
    }
    return frame;
}

Bytes GarbageFor(const Faults& faults, std::mt19937& random) {
    Bytes garbage = faults.garbage;
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (std::size_t i = 0; i < faults.randomGarbage; ++i) {
        garbage.push_back(static_cast<std::uint8_t>(anyByte(random)));
    }
    return garbage;
}

// The garbage travels with the first piece; the sizes cut the answer frame.
std::vector<Bytes> Cut(const Bytes& garbage, const Bytes& frame,
                       const std::vector<std::size_t>& sizes) {
    std::vector<Bytes> pieces;
    Bytes current = garbage;
    std::size_t at = 0;
    for (const std::size_t size : sizes) {
        const std::size_t end = std::min(frame.size(), at + size);
        current.insert(current.end(), frame.begin() + static_cast<std::ptrdiff_t>(at),
                       frame.begin() + static_cast<std::ptrdiff_t>(end));
        at = end;
        if (!current.empty()) {
            pieces.push_back(std::move(current));
            current.clear();
        }
    }
    current.insert(current.end(), frame.begin() + static_cast<std::ptrdiff_t>(at), frame.end());
    if (!current.empty()) {
        pieces.push_back(std::move(current));
    }
    return pieces;
}

}  // namespace

std::vector<Piece> PlanAnswer(const Faults& faults, Answer answer, std::mt19937& random,
                              Clock::duration byteTime) {
    const Bytes frame = FrameAsTold(faults, std::move(answer));
    std::vector<Piece> plan;
    Clock::duration at = faults.late;
    for (int copy = faults.twice ? 2 : 1; copy > 0; --copy) {
        const Bytes garbage = GarbageFor(faults, random);
        Bytes whole = garbage;
        whole.insert(whole.end(), frame.begin(), frame.end());
        const std::vector<Bytes> pieces = Cut(garbage, frame, faults.pieces);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                at += faults.piecePause;
            }
            const std::size_t firstOfCopy = plan.size();
            if (byteTime == Clock::duration::zero()) {
                plan.push_back({at, pieces[i], {}, {}});
            } else {
                for (const std::uint8_t byte : pieces[i]) {
                    plan.push_back({at, {byte}, {}, {}});
                    at += byteTime;
                }
            }
            if (i == 0) {
                plan[firstOfCopy].tag = "tx";
                plan[firstOfCopy].whole = whole;
            }
        }
    }
    return plan;
}

}  // namespace sim
