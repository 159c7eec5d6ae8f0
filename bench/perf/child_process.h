#pragma once
// A child process with pipes on its standard input and output, for the measurements that need
// the program as a process of its own. The destructor closes its input, gives it a moment to
// end and kills it otherwise.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace bench {

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // `environment` entries ("NAME=value") are added to this process's environment. Throws
    // std::system_error when it cannot be started.
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    pid_t Pid() const { return pid_; }
    // Just before the process was created.
    Clock::time_point Spawned() const { return spawned_; }
    // The next line of its standard output, without the line end; none at its end or time-out.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void WriteLine(const std::string& line);

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffered_;
    Clock::time_point spawned_;
};

// This executable, for starting it again as a child.
std::string SelfPath();

}  // namespace bench
