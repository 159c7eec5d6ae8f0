// Writes the seed corpus of the receive-path fuzzer: answers captured from the simulator as they
// come off the line, each behind a header that puts the program into the mode that would have
// asked for them. Run by hand after the simulator or the frame layout changes:
//   tensovia-fuzz-capture fuzz/corpus

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "fuzz/fuzz_input.h"
#include "hart/program_state.h"
#include "tests/support/sim_client.h"
#include "tests/support/test_frames.h"

namespace {

using simtest::Bytes;
using simtest::Millis;

// Everything that reaches the line within the window; the simulator answers at once.
constexpr Millis kWindow{300};

struct Request {
    std::uint8_t address;
    std::uint8_t command;
    Bytes data;
};

// A request of every command the program sends, with the data its builder writes.
const Request kSetupRequests[] = {
    {1, 1, {}},
    {1, 3, {}},
    {1, 6, {1}},
    {1, 33, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 4}},
    {1, 34, {64, 0, 0, 0}},
    {1, 35, {0, 66, 200, 0, 0, 0, 0, 0, 0}},
    {1, 36, {}},
    {1, 37, {}},
    {1, 40, {65, 64, 0, 0}},
    {1, 44, {1}},
    {1, 40, {0, 0, 0, 0}},
    {1, 99, {}},
    {1, 44, {7}},  // a unit the transmitter does not have
};

// The three registration commands; index is the registration command list's.
const std::uint8_t kRegistrationCommands[] = {1, 3, 33};

class Capture {
public:
    explicit Capture(const QString& directory) : directory_(directory) {}

    // The simulator with `switches`; the answers to `requests`, sent one after the other.
    Bytes Answers(const QStringList& switches, const std::vector<Request>& requests) {
        simtest::SimulatorProcess simulator(switches);
        simtest::SlavePort port(simulator.SlavePath());
        if (!simulator.Started() || !port.IsOpen()) {
            std::fprintf(stderr, "the simulator did not start\n");
            std::exit(1);
        }
        Bytes line = port.Read(4096, kWindow);  // noise that came before any request
        for (const Request& request : requests) {
            port.Send(testframes::Request(request.address, request.command, request.data));
            const Bytes answer = port.Read(4096, kWindow);
            line.insert(line.end(), answer.begin(), answer.end());
        }
        return line;
    }

    void Write(const QString& name, const std::vector<std::uint8_t>& header, const Bytes& line) {
        QFile file(QDir(directory_).filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
        file.write(reinterpret_cast<const char*>(header.data()),
                   static_cast<qint64>(header.size()));
        file.write(reinterpret_cast<const char*>(line.data()), static_cast<qint64>(line.size()));
        std::printf("%s: %zu bytes from the line\n", qPrintable(name), line.size());
    }

private:
    QString directory_;
};

// A poll of slots 1..10 with `command`, as one registration tick sends it.
std::vector<Request> Poll(std::uint8_t command) {
    std::vector<Request> poll;
    for (std::uint8_t address = 1; address <= 10; ++address) {
        poll.push_back({address, command, command == 33 ? kSetupRequests[3].data : Bytes{}});
    }
    return poll;
}

// Lines in one piece, as the decoders see them when nothing cuts an answer short (a pause inside
// an answer drops it, and the collector is out of step until the next pause), under headers
// that take the decoders' and the dispatcher's other branches.
void WriteUncutLines(Capture& capture) {
    using fuzzing::SeedHeader;
    for (std::uint8_t index = 0; index < 3; ++index) {
        const std::uint8_t command = kRegistrationCommands[index];
        // Slots that were silent asked again, a wrong checksum from slot 3, the table holding
        // the blocks of an earlier run: red lamps turning yellow, "not reliable" rows, blocks
        // found again.
        capture.Write(QStringLiteral("registration-%1-repeat").arg(command),
                      SeedHeader({.mode = 2,
                                  .registrationCommand = index,
                                  .protocolTicked = true,
                                  .lamp = hart::kLampRed,
                                  .attempt = 2,
                                  .earlierBlocks = true}),
                      capture.Answers({"--badsum", "3"}, Poll(command)));
    }
    // Every setup command answered with a wrong checksum.
    capture.Write(
        QStringLiteral("setup-badsum"), SeedHeader({.mode = 1}),
        capture.Answers({"--badsum", "1"}, {std::begin(kSetupRequests), std::end(kSetupRequests)}));
    std::vector<Request> polls;
    for (int poll = 0; poll < 4; ++poll) {
        const std::vector<Request> one = Poll(1);
        polls.insert(polls.end(), one.begin(), one.end());
    }
    // Enough answers for the trace to drop its oldest lines; no protocol files.
    capture.Write(QStringLiteral("registration-1-four-polls"), SeedHeader({.mode = 2}),
                  capture.Answers({}, polls));
    // Answers while no mode runs.
    capture.Write(QStringLiteral("registration-1-idle"), SeedHeader({}),
                  capture.Answers({}, Poll(1)));
    // The operator starting the other mode between pieces, which reach the collector without
    // the port's handler; no protocol files.
    capture.Write(QStringLiteral("registration-3-mode-changes"),
                  SeedHeader({.mode = 2,
                              .registrationCommand = 1,
                              .largestChunk = 7,
                              .throughPort = false,
                              .modeChanges = true}),
                  capture.Answers({}, Poll(3)));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIRECTORY\n", argv[0]);
        return 2;
    }
    Capture capture(QString::fromLocal8Bit(argv[1]));
    using fuzzing::SeedHeader;

    int number = 0;
    for (const Request& request : kSetupRequests) {
        const Bytes answer = capture.Answers({}, {request});
        const QString name =
            QStringLiteral("setup-%1-command-%2").arg(++number).arg(request.command);
        capture.Write(name, SeedHeader({.mode = 1}), answer);
        capture.Write(name + QStringLiteral("-chunked"), SeedHeader({.mode = 1, .largestChunk = 5}),
                      answer);
    }
    for (std::uint8_t index = 0; index < 3; ++index) {
        const std::uint8_t command = kRegistrationCommands[index];
        const Bytes poll = capture.Answers({}, Poll(command));
        capture.Write(QStringLiteral("registration-%1").arg(command),
                      SeedHeader({.mode = 2,
                                  .registrationCommand = index,
                                  .protocolTicked = true,
                                  .largestChunk = 13}),
                      poll);
        capture.Write(QStringLiteral("registration-%1-setup-mode").arg(command),
                      SeedHeader({.mode = 1, .registrationCommand = index}), poll);
    }

    // Misbehaving transmitters among the ten of a registration poll.
    const struct {
        const char* name;
        QStringList switches;
    } faults[] = {
        {"badsum", {"--badsum", "3"}},
        {"oversize-47", {"--oversize", "4"}},
        {"oversize-255", {"--oversize", "5", "255"}},
        {"twice", {"--twice", "6"}},
        {"garbage", {"--garbage", "2", "5"}},
        {"garbage-bytes", {"--garbage", "7", "255,255,134,2"}},
        {"answer-as-unknown", {"--answer-as", "7", "77"}},
        {"answer-as-neighbour", {"--answer-as", "8", "9"}},
        {"noise", {"--noise", "0", "400", "--seed", "7"}},
    };
    for (std::uint8_t index = 0; index < 3; ++index) {
        const std::uint8_t command = kRegistrationCommands[index];
        for (const auto& fault : faults) {
            capture.Write(QStringLiteral("fault-%1-%2").arg(QLatin1String(fault.name)).arg(command),
                          SeedHeader({.mode = 2,
                                      .registrationCommand = index,
                                      .protocolTicked = true,
                                      .largestChunk = 11}),
                          capture.Answers(fault.switches, Poll(command)));
        }
    }

    WriteUncutLines(capture);
    return 0;
}
