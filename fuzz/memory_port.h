#pragma once
// A serial port whose received bytes the caller puts in by hand: the real component on an
// in-memory device, opened without its event and writer threads, so that the received-characters
// handler can be called on this thread with bytes it reads back through ReadBuf.

#include <cstdint>
#include <memory>
#include <span>

#include "serial/ser_comm.h"

namespace fuzzing {

struct MemoryLine;

class MemoryPort : public ser::TSerCustomComm {
public:
    // Opened at once.
    MemoryPort();

    // Bytes arrive from the line; they wait until the handler reads them.
    void Arrive(std::span<const std::uint8_t> bytes);

protected:
    // Nothing runs beside the caller: it raises the handler itself.
    void StartThreads() override {}

private:
    explicit MemoryPort(std::shared_ptr<MemoryLine> line);

    std::shared_ptr<MemoryLine> line_;
};

}  // namespace fuzzing
