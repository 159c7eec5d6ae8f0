#include "bench/perf/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace bench {
namespace {

constexpr auto kGrace = std::chrono::seconds(5);

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    if (pipe2(output, O_CLOEXEC) != 0) {
        const int error = errno;
        close(input[0]);
        close(input[1]);
        throw std::system_error(error, std::generic_category(), "pipe");
    }
    std::vector<std::string> argv = arguments;
    std::vector<std::string> envp = environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        envp.emplace_back(*variable);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    auto argPointers = Pointers(argv);
    auto envPointers = Pointers(envp);
    spawned_ = Clock::now();
    const int error = posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, argPointers.data(),
                                  envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    toChild_ = input[1];
    fromChild_ = output[0];
    if (error != 0) {
        close(toChild_);
        close(fromChild_);
        throw std::system_error(error, std::generic_category(), "posix_spawn " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    close(toChild_);
    const auto deadline = Clock::now() + kGrace;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    close(fromChild_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{fromChild_, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char chunk[512];
        const ssize_t n = read(fromChild_, chunk, sizeof chunk);
        if (n <= 0) {
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

void ChildProcess::WriteLine(const std::string& line) {
    const std::string text = line + '\n';
    // A child that has gone makes this fail; the caller notices at its next read.
    [[maybe_unused]] const ssize_t n = write(toChild_, text.data(), text.size());
}

std::string SelfPath() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace bench
