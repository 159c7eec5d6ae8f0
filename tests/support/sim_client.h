#pragma once
// What the simulator's tests share: the simulator as a child process, a raw client on its slave
// side, and the few frame checks the tests make (written here on their own, not taken from the
// simulator or the program).

#include <QMetaType>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using Millis = std::chrono::milliseconds;

// Generous for a loaded two-core machine; waits end as soon as the awaited thing happens.
inline constexpr Millis kPatience{5000};

// The bytes in decimal, separated by blanks, as the simulator's log shows them.
QString DecimalText(const Bytes& bytes);
// QCOMPARE shows differing byte lists that way.
char* toString(const Bytes& bytes);

class SimulatorProcess {
public:
    // Starts the simulator and waits for its "slave:" line (Started() tells whether it came).
    explicit SimulatorProcess(const QStringList& arguments = {});
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    ~SimulatorProcess();

    bool Started() const { return !slavePath_.isEmpty(); }
    const QString& SlavePath() const { return slavePath_; }
    QProcess& Process() { return process_; }

    // Sends a control line and returns the simulator's reply to it.
    QString Control(const QString& line);
    // The next line on the simulator's standard output, empty when none comes in time.
    QString NextLine(Millis timeout = kPatience);

private:
    QProcess process_;
    QString slavePath_;
};

// The slave side in raw mode, as the program opens its port.
class SlavePort {
public:
    explicit SlavePort(const QString& path);
    SlavePort(const SlavePort&) = delete;
    SlavePort& operator=(const SlavePort&) = delete;
    ~SlavePort();

    bool IsOpen() const { return fd_ >= 0; }
    void Send(const Bytes& bytes);
    // Up to `count` bytes, fewer if the time runs out first.
    Bytes Read(std::size_t count, Millis timeout = kPatience);
    // One answer, as long as its byte count says.
    Bytes ReadAnswer(Millis timeout = kPatience);
    // Whether any byte arrives before the time runs out.
    bool WaitReadable(Millis timeout);
    bool WaitHangUp(Millis timeout = kPatience);

private:
    int fd_ = -1;
};

// Empty when the answer is laid out right: three preambles, 134, four 255s, a byte count that
// matches the length, and the checksum over everything from the delimiter on; else what is wrong.
QString LayoutProblem(const Bytes& answer);

// Indexes into an answer (counted from 0): poll address, command, byte count, first status byte
// and the first data byte.
inline constexpr std::size_t kAddressAt = 8;
inline constexpr std::size_t kCommandAt = 9;
inline constexpr std::size_t kCountAt = 10;
inline constexpr std::size_t kStatusAt = 11;
inline constexpr std::size_t kDataAt = 13;

// The float at data byte `index` of an answer, most significant byte first.
float DataFloat(const Bytes& answer, std::size_t index);

}  // namespace simtest

Q_DECLARE_METATYPE(simtest::Bytes)
