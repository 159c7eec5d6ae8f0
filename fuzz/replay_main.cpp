// Replays fuzz inputs through the receive path without libFuzzer: every file named, and every
// file in every directory named. A broken rule or a sanitizer report aborts; the exit status is 0
// when every input ran, 1 when an argument could not be read.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/receive_path_harness.h"

namespace {

bool Replay(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<std::uint8_t> input{std::istreambuf_iterator<char>(stream), {}};
    fuzzing::RunReceivePath(input);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    bool ok = argc > 1;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument(argv[i]);
        if (!std::filesystem::is_directory(argument)) {
            ok = Replay(argument) && ok;
            ++inputs;
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(argument)) {
            if (entry.is_regular_file()) {
                ok = Replay(entry.path()) && ok;
                ++inputs;
            }
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return ok ? 0 : 1;
}
