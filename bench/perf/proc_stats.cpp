#include "bench/perf/proc_stats.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace bench {
namespace {

std::string TaskPath(int pid, int tid, const char* file) {
    return "/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/" + file;
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
    const std::string path = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                tids.push_back(std::stoi(entry->d_name));
            }
        }
        closedir(dir);
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
        std::uint64_t waiting = 0;
        std::ifstream(TaskPath(pid, tid, "schedstat")) >> sample.cpuNs >> waiting >> sample.wakeUps;
        const std::string status = TaskPath(pid, tid, "status");
        sample.voluntary = StatusField(status, "voluntary_ctxt_switches");
        sample.involuntary = StatusField(status, "nonvoluntary_ctxt_switches");
        samples.push_back(sample);
    }
    return samples;
}

std::size_t ResidentKiB(int pid) {
    return StatusField("/proc/" + std::to_string(pid) + "/status", "VmRSS");
}

void NameOwnThread(int tid, const std::string& name) {
    std::ofstream(TaskPath(getpid(), tid, "comm")) << name.substr(0, 15);
}

}  // namespace bench
