#pragma once
// The bank of transmitters on its pseudo-terminal, driven by one loop that waits in ppoll for the
// master's bytes, control lines, signals and the next moment something is due. It never spins
// while idle, and every buffer it keeps has a bound.

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "control.h"
#include "line_reader.h"
#include "noise_schedule.h"
#include "options.h"
#include "outgoing_queue.h"
#include "pseudo_terminal.h"
#include "request_reader.h"
#include "slave_link.h"
#include "termination_signals.h"
#include "transmitter.h"
#include "wire_log.h"

namespace sim {

class Simulator {
public:
    // Applies the switches of the command line; throws std::invalid_argument for a bad one and
    // std::system_error when the log cannot be opened.
    Simulator(const Options& options, const TerminationSignals& signals);

    // Runs until "quit" or a termination signal. Throws std::system_error when no
    // pseudo-terminal can be had.
    void Run();

private:
    void Plug();
    void Unplug(Millis pause, Clock::time_point now);
    void Wait();
    std::optional<Clock::time_point> NextDeadline() const;
    void ReadMaster();
    void ReadControl();
    void Control(const LineReader::Line& line);
    void Received(const std::vector<RequestReader::Event>& events, Clock::time_point now);
    void Respond(const Request& request, Clock::time_point now);
    void MakeNoise(Clock::time_point now);
    void Say(std::string_view line);

    const TerminationSignals& signals_;
    const Clock::time_point start_ = Clock::now();
    const Clock::duration byteTime_;
    std::vector<Transmitter> bank_;
    FaultTable faults_{};
    NoiseSchedule noise_;
    RequestReader reader_;
    Clock::time_point lastReceived_{};
    OutgoingQueue queue_;
    WireLog log_;
    std::mt19937 random_;
    std::optional<SlaveLink> link_;
    std::optional<PseudoTerminal> terminal_;
    std::optional<Clock::time_point> replugAt_;
    LineReader control_;
    bool controlOpen_ = true;
    bool quit_ = false;
};

}  // namespace sim
