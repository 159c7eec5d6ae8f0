// libFuzzer entry point of the receive path.

#include <cstddef>
#include <cstdint>

#include "fuzz/receive_path_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::RunReceivePath(std::span(data, size));
    return 0;
}
