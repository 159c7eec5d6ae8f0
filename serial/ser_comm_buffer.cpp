#include "serial/ser_comm_buffer.h"

#include <algorithm>
#include <cstring>

namespace ser {

TSerCommBuffer::TSerCommBuffer(int capacity)
    : data_(std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(std::max(capacity, 0)))),
      capacity_(std::max(capacity, 0)) {}

void TSerCommBuffer::Append(const std::uint8_t* bytes, int count) {
    std::memcpy(End(), bytes, static_cast<std::size_t>(count));
    Grow(count);
}

void TSerCommBuffer::Grow(int count) {
    size_ += count;
}

int TSerCommBuffer::Take(std::uint8_t* out, int count) {
    const int taken = std::min(count, size_);
    if (taken > 0) {
        std::memcpy(out, data_.get(), static_cast<std::size_t>(taken));
        RemoveFirst(taken);
    }
    return taken;
}

void TSerCommBuffer::RemoveFirst(int count) {
    std::memmove(data_.get(), data_.get() + count, static_cast<std::size_t>(size_ - count));
    size_ -= count;
}

}  // namespace ser
