#include "tests/support/sim_client.h"

#include <QDeadlineTimer>
#include <QTest>

#include <bit>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "tests/support/test_frames.h"

namespace simtest {

namespace {

// poll() with a deadline, repeated after interrupting signals; the revents, 0 on time-out.
short PollFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd entry{fd, events, 0};
    while (!deadline.hasExpired()) {
        const int ready = ::poll(&entry, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0) {
            return entry.revents;
        }
    }
    return 0;
}

}  // namespace

QString DecimalText(const Bytes& bytes) {
    QStringList numbers;
    for (const std::uint8_t byte : bytes) {
        numbers << QString::number(byte);
    }
    return numbers.join(QLatin1Char(' '));
}

char* toString(const Bytes& bytes) {
    return qstrdup(DecimalText(bytes).toLatin1().constData());
}

SimulatorProcess::SimulatorProcess(const QStringList& arguments) {
    process_.start(QStringLiteral(TENSOVIA_SIM_PATH), arguments);
    const QString first = NextLine();
    if (first.startsWith(QLatin1String("slave: "))) {
        slavePath_ = first.mid(7);
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    process_.terminate();  // works also when a test has closed the control input
    if (!process_.waitForFinished(static_cast<int>(kPatience.count()))) {
        process_.kill();
        process_.waitForFinished();
    }
}

QString SimulatorProcess::Control(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toUtf8());
    return NextLine();
}

QString SimulatorProcess::NextLine(Millis timeout) {
    const QDeadlineTimer deadline(timeout.count());
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() ||
            !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return {};
        }
    }
    return QString::fromUtf8(process_.readLine()).trimmed();
}

SlavePort::SlavePort(const QString& path)
    : fd_(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    termios settings{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
}

SlavePort::~SlavePort() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void SlavePort::Send(const Bytes& bytes) {
    std::size_t sent = 0;
    const QDeadlineTimer deadline(kPatience.count());
    while (sent < bytes.size() && PollFor(fd_, POLLOUT, deadline) != 0) {
        const ssize_t written = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        }
    }
}

Bytes SlavePort::Read(std::size_t count, Millis timeout) {
    Bytes bytes;
    const QDeadlineTimer deadline(timeout.count());
    while (bytes.size() < count && (PollFor(fd_, POLLIN, deadline) & POLLIN) != 0) {
        std::uint8_t buffer[256];
        const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got > 0) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
    }
    return bytes;
}

Bytes SlavePort::ReadAnswer(Millis timeout) {
    const QDeadlineTimer deadline(timeout.count());
    Bytes answer = Read(kCountAt + 1, timeout);
    if (answer.size() == kCountAt + 1) {
        const Bytes rest = Read(answer[kCountAt] + 3u, Millis(deadline.remainingTime()));
        answer.insert(answer.end(), rest.begin(), rest.end());
    }
    return answer;
}

bool SlavePort::WaitReadable(Millis timeout) {
    return (PollFor(fd_, POLLIN, QDeadlineTimer(timeout.count())) & POLLIN) != 0;
}

bool SlavePort::WaitHangUp(Millis timeout) {
    const QDeadlineTimer deadline(timeout.count());
    // Bytes still waiting are read away; a hung-up terminal then reads as end or error.
    while (short events = PollFor(fd_, POLLIN, deadline)) {
        if (events & (POLLHUP | POLLERR)) {
            return true;
        }
        std::uint8_t buffer[256];
        if (::read(fd_, buffer, sizeof buffer) <= 0) {
            return true;
        }
    }
    return false;
}

QString LayoutProblem(const Bytes& answer) {
    if (answer.size() < kDataAt + 1) {
        return QStringLiteral("only %1 bytes").arg(answer.size());
    }
    const Bytes head(answer.begin(), answer.begin() + kAddressAt);
    if (head != Bytes{255, 255, 255, 134, 255, 255, 255, 255}) {
        return QStringLiteral("bad head %1").arg(DecimalText(head));
    }
    if (answer.size() != answer[kCountAt] + 14u) {
        return QStringLiteral("count %1 but %2 bytes").arg(answer[kCountAt]).arg(answer.size());
    }
    if (const std::uint8_t sum = testframes::ChecksumOf(answer); sum != answer.back()) {
        return QStringLiteral("checksum %1, expected %2").arg(answer.back()).arg(sum);
    }
    return {};
}

float DataFloat(const Bytes& answer, std::size_t index) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits = (bits << 8) | answer.at(kDataAt + index + i);
    }
    return std::bit_cast<float>(bits);
}

}  // namespace simtest
