#pragma once
// What Linux tells under /proc about a process and its threads: CPU time, wake-ups, resident
// memory, open files. Plain C++, so that the serial layer's tests can use it too. A pid of 0 is
// this process; a process or thread that is gone reads as nothing used.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace procstats {

struct ThreadSample {
    int tid = 0;
    std::string name;
    std::chrono::nanoseconds cpu{0};  // time on a CPU
    std::uint64_t wakeUps = 0;        // times it was put on a CPU
    std::uint64_t voluntary = 0;      // context switches by blocking
    std::uint64_t involuntary = 0;    // context switches by preemption
};

std::vector<int> ThreadIds(int pid);
std::vector<ThreadSample> SampleThreads(int pid);
// What each thread of `after` used since `before`; all of it for a thread started since.
std::vector<ThreadSample> Since(const std::vector<ThreadSample>& before,
                                const std::vector<ThreadSample>& after);

// User plus system CPU time of the whole process, its ended threads included; negative when the
// process is gone.
std::chrono::nanoseconds ProcessCpuTime(int pid);
// VmRSS in KiB; 0 when the process is gone.
std::size_t ResidentKiB(int pid);
// How many descriptors open in this process refer to `path`.
int OpenDescriptors(const std::string& path);

// Names a thread of this process as top -H and the benchmarks show it (15 characters at most).
void NameOwnThread(int tid, const std::string& name);

}  // namespace procstats
