#include "bench/perf/window_launch.h"

#include <cstdio>

namespace bench {
namespace {

constexpr std::chrono::seconds kPatience{20};

// The value of the child's next line, which must start with `tag` and a blank.
std::optional<long long> Expect(ChildProcess& child, const std::string& tag) {
    const std::optional<std::string> line = child.ReadLine(kPatience);
    if (!line || line->compare(0, tag.size() + 1, tag + " ") != 0) {
        std::fprintf(stderr, "window child: expected \"%s\", got \"%s\"\n", tag.c_str(),
                     line ? line->c_str() : "(nothing)");
        return std::nullopt;
    }
    return std::stoll(line->substr(tag.size() + 1));
}

double MsSince(ChildProcess::Clock::time_point start, long long stamp) {
    const ChildProcess::Clock::time_point at{ChildProcess::Clock::duration(stamp)};
    return std::chrono::duration<double, std::milli>(at - start).count();
}

}  // namespace

std::optional<LaunchedWindow> LaunchWindow(bool program, const std::string& portPath) {
    LaunchedWindow window;
    window.process = std::make_unique<ChildProcess>(
        std::vector<std::string>{SelfPath(), "--window", program ? "program" : "bare"},
        std::vector<std::string>{"QT_QPA_PLATFORM=offscreen", "TENSOVIA_COM1=" + portPath});
    ChildProcess& child = *window.process;
    const auto main = Expect(child, "main");
    const auto shown = main ? Expect(child, "shown") : std::nullopt;
    const auto rss = shown ? Expect(child, "rss") : std::nullopt;
    if (!rss) {
        return std::nullopt;
    }
    window.toMainMs = MsSince(child.Spawned(), *main);
    window.toShownMs = MsSince(child.Spawned(), *shown);
    window.rssMiB = static_cast<double>(*rss) / 1024.0;
    return window;
}

}  // namespace bench
