#pragma once
// A byte queue of fixed capacity, allocated once: bytes are appended at the end and taken from
// the front. Not synchronised; its owner guards it.

#include <cstdint>
#include <memory>

namespace ser {

class TSerCommBuffer {
public:
    explicit TSerCommBuffer(int capacity);

    int Capacity() const { return capacity_; }
    int Size() const { return size_; }
    int Room() const { return capacity_ - size_; }
    const std::uint8_t* Data() const { return data_.get(); }

    // Copies `count` bytes to the end; the caller makes sure there is room.
    void Append(const std::uint8_t* bytes, int count);
    // Where the next bytes go, for filling in place; Grow then counts them in.
    std::uint8_t* End() { return data_.get() + size_; }
    void Grow(int count);
    // Copies up to `count` bytes from the front into `out` and removes them; returns how many.
    int Take(std::uint8_t* out, int count);
    // Removes the first `count` bytes; those behind them move to the front.
    void RemoveFirst(int count);
    void Clear() { size_ = 0; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    int capacity_;
    int size_ = 0;
};

}  // namespace ser
