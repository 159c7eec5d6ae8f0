// libFuzzer entry point of the receive path.

#include <cstddef>
#include <cstdint>

#include "fuzz/receive_path_harness.h"

// AddressSanitizer's settings for runs of millions of inputs; ASAN_OPTIONS overrides them.
// - No allocation and release stacks. Every allocation would store its stack, found by
//   following frame pointers, and Qt's libraries are built without them: the stacks run into
//   stray addresses, nearly every input stores new ones, and the store grows for as long as
//   the run lasts (a third of a million stacks after 60 000 inputs). A finding replayed with
//   receive_path_replay of the asan build shows these stacks.
// - A quarantine of 16 MB instead of 256 MB: freed memory still waits there for the next
//   hundred inputs or so (about a thousand answers) before it is used again, far longer than
//   anything of one input lives, and the resident size stays near 100 MB instead of 500 MB.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=0:quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::RunReceivePath(std::span(data, size));
    return 0;
}
