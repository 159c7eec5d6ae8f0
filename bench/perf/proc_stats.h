#pragma once
// What Linux tells about a process and its threads under /proc.

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ThreadSample {
    int tid = 0;
    std::string name;
    std::uint64_t cpuNs = 0;        // time on a CPU
    std::uint64_t wakeUps = 0;      // times it was put on a CPU
    std::uint64_t voluntary = 0;    // context switches by blocking
    std::uint64_t involuntary = 0;  // context switches by preemption
};

std::vector<int> ThreadIds(int pid);
std::vector<ThreadSample> SampleThreads(int pid);
// VmRSS in KiB; 0 when the process is gone.
std::size_t ResidentKiB(int pid);
// Names a thread of this process as top -H and this tool show it (15 characters at most).
void NameOwnThread(int tid, const std::string& name);

}  // namespace bench
