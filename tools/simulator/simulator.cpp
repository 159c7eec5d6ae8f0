#include "simulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include <poll.h>
#include <unistd.h>

namespace sim {

namespace {

// 10 bits a byte (start, 8 data, stop) at 9600 bit/s.
constexpr Clock::duration kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 9600);
// A request that stops arriving for this long is given up.
constexpr Millis kRequestGap{250};
constexpr std::size_t kQueueCapacity = 64 * 1024;
constexpr std::size_t kReadChunk = 256;

std::string Joined(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

std::string_view TagOf(RequestReader::Kind kind) {
    switch (kind) {
        case RequestReader::Kind::Request:
            return "rx";
        case RequestReader::Kind::BadChecksum:
            return "rx-badsum";
        case RequestReader::Kind::OtherAddressing:
            return "rx-other-addressing";
        case RequestReader::Kind::Garbage:
            return "rx-garbage";
        case RequestReader::Kind::Incomplete:
            return "rx-incomplete";
    }
    return "rx";
}

}  // namespace

Simulator::Simulator(const Options& options, const TerminationSignals& signals)
    : signals_(signals),
      byteTime_(options.pace ? kByteTime : Clock::duration::zero()),
      queue_(kQueueCapacity),
      log_(options.logPath.empty() ? WireLog() : WireLog(options.logPath, start_)),
      random_(options.seed ? *options.seed : std::random_device{}()) {
    for (std::size_t address = 0; address < options.addresses.size(); ++address) {
        if (options.addresses.test(address)) {
            bank_.emplace_back(static_cast<std::uint8_t>(address),
                               static_cast<unsigned>(bank_.size()), options.identities[address]);
        }
    }
    for (const std::vector<std::string>& words : options.switches) {
        ApplyControl(words, faults_);
    }
    if (!options.linkPath.empty()) {
        link_.emplace(options.linkPath);
    }
}

void Simulator::Run() {
    Plug();
    while (!quit_ && !signals_.Raised()) {
        Wait();
        const Clock::time_point now = Clock::now();
        if (replugAt_ && *replugAt_ <= now) {
            replugAt_.reset();
            Plug();
        }
        if (reader_.Waiting() && now - lastReceived_ >= kRequestGap) {
            Received(reader_.Expire(), now);
        }
        MakeNoise(now);
        if (terminal_) {
            queue_.WriteDue(terminal_->Master(), now, log_);
        }
    }
}

void Simulator::Plug() {
    terminal_.emplace();
    if (link_) {
        link_->PointAt(terminal_->SlavePath());
    }
    log_.Note("plug", terminal_->SlavePath());
    Say("slave: " + terminal_->SlavePath());
}

void Simulator::Unplug(Millis pause, Clock::time_point now) {
    terminal_.reset();
    queue_.Clear();
    reader_.Clear();
    replugAt_ = now + pause;
    log_.Note("unplug", "");
}

void Simulator::Wait() {
    // The master comes first: a control line may unplug it, and its descriptor must not be read
    // after that.
    std::vector<pollfd> watched;
    if (terminal_) {
        const short events = queue_.Blocked() ? POLLIN | POLLOUT : POLLIN;
        watched.push_back({terminal_->Master(), events, 0});
    }
    if (controlOpen_) {
        watched.push_back({STDIN_FILENO, POLLIN, 0});
    }
    timespec timeout{};
    const std::optional<Clock::time_point> deadline = NextDeadline();
    if (deadline) {
        const auto left = std::max(*deadline - Clock::now(), Clock::duration::zero());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        timeout.tv_sec = seconds.count();
        timeout.tv_nsec = std::chrono::nanoseconds(left - seconds).count();
    }
    if (::ppoll(watched.data(), watched.size(), deadline ? &timeout : nullptr,
                signals_.WaitMask()) <= 0) {
        return;  // time is up, or a signal came
    }
    for (const pollfd& entry : watched) {
        if (entry.fd == STDIN_FILENO && entry.revents != 0) {
            ReadControl();
        } else if (entry.fd != STDIN_FILENO && (entry.revents & POLLIN) != 0) {
            ReadMaster();
        }
    }
}

std::optional<Clock::time_point> Simulator::NextDeadline() const {
    std::optional<Clock::time_point> deadline = replugAt_;
    const auto consider = [&deadline](std::optional<Clock::time_point> moment) {
        if (moment && (!deadline || *moment < *deadline)) {
            deadline = moment;
        }
    };
    if (terminal_ && !queue_.Blocked()) {
        consider(queue_.NextDue());
    }
    consider(noise_.NextDue());
    if (reader_.Waiting()) {
        consider(lastReceived_ + kRequestGap);
    }
    return deadline;
}

void Simulator::ReadMaster() {
    std::uint8_t buffer[kReadChunk];
    const ssize_t count = ::read(terminal_->Master(), buffer, sizeof buffer);
    if (count <= 0) {
        return;  // EAGAIN or EINTR; the slave is held open, so no hang-up comes from there
    }
    lastReceived_ = Clock::now();
    Received(reader_.Feed(std::span(buffer, static_cast<std::size_t>(count))), lastReceived_);
}

void Simulator::ReadControl() {
    char buffer[kReadChunk];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (count <= 0) {
        controlOpen_ = false;  // the simulator goes on without control lines
        return;
    }
    for (const LineReader::Line& line :
         control_.Feed(std::span(buffer, static_cast<std::size_t>(count)))) {
        Control(line);
    }
}

void Simulator::Control(const LineReader::Line& line) {
    if (line.tooLong) {
        Say("error: line longer than " + std::to_string(LineReader::kMaxLine) + " characters");
        return;
    }
    const std::vector<std::string> words = SplitWords(line.text);
    if (words.empty()) {
        return;
    }
    try {
        const ControlOutcome outcome = ApplyControl(words, faults_);
        log_.Note("control", Joined(words));
        Say("ok " + Joined(words));
        quit_ = outcome.quit;
        if (outcome.replugAfter) {
            Unplug(*outcome.replugAfter, Clock::now());
        }
    } catch (const std::invalid_argument& error) {
        Say(std::string("error: ") + error.what());
    }
}

void Simulator::Received(const std::vector<RequestReader::Event>& events, Clock::time_point now) {
    for (const RequestReader::Event& event : events) {
        log_.Record(TagOf(event.kind), event.bytes);
        if (event.kind == RequestReader::Kind::Request) {
            Respond(event.request, now);
        }
    }
}

void Simulator::Respond(const Request& request, Clock::time_point now) {
    const auto device = std::find_if(bank_.begin(), bank_.end(),
                                     [&request](const Transmitter& t) { return t.Hears(request); });
    if (device == bank_.end()) {
        return;
    }
    const Faults& faults = faults_[device->PollAddress()];
    if (faults.silent) {
        return;
    }
    const std::chrono::duration<double> elapsed = now - start_;
    Reply reply = faults.refused.test(request.command)
                      ? Reply{kCommandNotImplemented, {}}
                      : device->Handle(request.command, request.data, elapsed.count());
    const std::size_t preambles =
        request.addressing == Addressing::Poll ? kPollFormPreambles : device->Preambles();
    Answer answer{request.addressing, request.address, preambles,
                  request.command,    reply.status,    std::move(reply.data)};
    std::vector<Piece> plan = PlanAnswer(faults, std::move(answer), random_, byteTime_);
    if (!queue_.Add(now, plan)) {
        log_.Record("drop", plan.front().whole);
    }
}

void Simulator::MakeNoise(Clock::time_point now) {
    const std::size_t due = noise_.TakeDue(faults_, now);
    // Noise goes between answers only, and only onto a line that is there.
    if (due == 0 || !terminal_ || !queue_.Empty()) {
        return;
    }
    Bytes bytes(due);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(anyByte(random_));
    }
    queue_.Add(now, {Piece{Clock::duration::zero(), bytes, "noise", bytes}});
}

void Simulator::Say(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace sim
