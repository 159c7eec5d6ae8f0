#include "tests/support/proc_stats.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>
#include <string_view>

namespace procstats {
namespace {

std::string ProcessPath(int pid) {
    return pid == 0 ? std::string("/proc/self") : "/proc/" + std::to_string(pid);
}

std::string TaskPath(int pid, int tid, const char* file) {
    return ProcessPath(pid) + "/task/" + std::to_string(tid) + "/" + file;
}

// The names in a /proc directory, without "." and "..".
std::vector<std::string> Entries(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    return names;
}

// The number after "<key>:" in a /proc status file; 0 when absent.
std::uint64_t StatusField(const std::string& path, const std::string& key) {
    std::ifstream status(path);
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) {
            return std::stoull(line.substr(key.size() + 1));
        }
    }
    return 0;
}

}  // namespace

std::vector<int> ThreadIds(int pid) {
    std::vector<int> tids;
    for (const std::string& name : Entries(ProcessPath(pid) + "/task")) {
        tids.push_back(std::stoi(name));
    }
    std::sort(tids.begin(), tids.end());
    return tids;
}

std::vector<ThreadSample> SampleThreads(int pid) {
    std::vector<ThreadSample> samples;
    for (const int tid : ThreadIds(pid)) {
        ThreadSample sample;
        sample.tid = tid;
        std::getline(std::ifstream(TaskPath(pid, tid, "comm")), sample.name);
        // Nanoseconds on a CPU, nanoseconds waiting for one, times scheduled.
        std::uint64_t running = 0;
        std::uint64_t waiting = 0;
        std::ifstream(TaskPath(pid, tid, "schedstat")) >> running >> waiting >> sample.wakeUps;
        sample.cpu = std::chrono::nanoseconds(running);
        const std::string status = TaskPath(pid, tid, "status");
        sample.voluntary = StatusField(status, "voluntary_ctxt_switches");
        sample.involuntary = StatusField(status, "nonvoluntary_ctxt_switches");
        samples.push_back(sample);
    }
    return samples;
}

std::vector<ThreadSample> Since(const std::vector<ThreadSample>& before,
                                const std::vector<ThreadSample>& after) {
    std::vector<ThreadSample> used;
    for (const ThreadSample& end : after) {
        const auto start = std::find_if(before.begin(), before.end(),
                                        [&](const ThreadSample& s) { return s.tid == end.tid; });
        const ThreadSample begin = start != before.end() ? *start : ThreadSample{};
        used.push_back({end.tid, end.name, end.cpu - begin.cpu, end.wakeUps - begin.wakeUps,
                        end.voluntary - begin.voluntary, end.involuntary - begin.involuntary});
    }
    return used;
}

std::chrono::nanoseconds ProcessCpuTime(int pid) {
    std::ifstream stat(ProcessPath(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The command name in parentheses may hold blanks; count the fields from after it: utime and
    // stime are the 12th and 13th, in clock ticks.
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::chrono::nanoseconds(-1);
    }
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string skipped;
    for (int i = 0; i < 11; ++i) {
        fields >> skipped;
    }
    long long user = 0;
    long long system = 0;
    fields >> user >> system;
    return std::chrono::nanoseconds((user + system) * 1'000'000'000LL / sysconf(_SC_CLK_TCK));
}

std::size_t ResidentKiB(int pid) {
    return StatusField(ProcessPath(pid) + "/status", "VmRSS");
}

int OpenDescriptors(const std::string& path) {
    int count = 0;
    for (const std::string& fd : Entries("/proc/self/fd")) {
        char target[PATH_MAX];
        const ssize_t n = readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target);
        if (n > 0 && path == std::string_view(target, static_cast<std::size_t>(n))) {
            ++count;
        }
    }
    return count;
}

void NameOwnThread(int tid, const std::string& name) {
    std::ofstream(TaskPath(0, tid, "comm")) << name.substr(0, 15);
}

}  // namespace procstats
