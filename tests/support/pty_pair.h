#pragma once
// A pseudo-terminal pair whose master side the test drives, and the CPU the component's threads
// use; POSIX only.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/proc_stats.h"

using namespace std::chrono_literals;

// A pseudo-terminal pair; the component opens the slave, the test drives the master.
class PtyPair {
public:
    PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair();

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    void Send(const std::vector<std::uint8_t>& bytes);
    // Reads until `count` bytes came or `timeout` passed.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout = 5s);
    // Everything that can be read now, after the line was quiet for `quiet`.
    std::vector<std::uint8_t> ReceiveAll(std::chrono::milliseconds quiet = 200ms);
    // The slave hangs up: its reads and writes fail with EIO from now on.
    void CloseMaster();

private:
    int master_ = -1;
    std::string slavePath_;
};

// CPU time and blocking waits (wake-ups) of the threads started between `before` and `started`,
// from `started` to `after`.
struct ThreadUsage {
    std::chrono::microseconds cpu{0};
    long wakeUps = 0;
};
ThreadUsage UsageOfNewThreads(const std::vector<procstats::ThreadSample>& before,
                              const std::vector<procstats::ThreadSample>& started,
                              const std::vector<procstats::ThreadSample>& after);
