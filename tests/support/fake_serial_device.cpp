#include "tests/support/fake_serial_device.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>

using ser::platform::LineSettings;
using ser::platform::ModemLine;
using ser::platform::OsError;
using ser::platform::OsResult;
using ser::platform::OsValue;
using ser::platform::WaitOutcome;
using ser::platform::WatchFor;
using Kind = FakeSerialDevice::Record::Kind;
using Clock = std::chrono::steady_clock;

struct FakeSerialDevice::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::set<std::string> missing;
    std::set<std::string> busy;
    std::map<Kind, int> failing;
    std::deque<std::uint8_t> input;
    std::vector<Record> records;
    std::vector<std::uint8_t> written;
    std::chrono::microseconds byteTime{0};
    bool stuck = false;
    bool modemLines = true;
    bool open = false;
    bool hungUp = false;
    bool lineError = false;
    bool rts = false;
    bool dtr = false;
    bool interruptWrite = false;
    bool interruptWait = false;

    Record& Add(Kind kind) {
        records.push_back(Record{kind, Clock::now(), {}, {}, false, {}});
        return records.back();
    }
    static OsError Error(int code) {
        OsError error{code, std::strerror(code), OsError::Kind::Other};
        if (code == EIO) {
            error.kind = OsError::Kind::LineGone;
        }
        return error;
    }
    // The failure a recorded call of `kind` ends with, if any.
    OsResult Failure(Kind kind) const {
        if (hungUp) {
            return Error(EIO);
        }
        if (const auto it = failing.find(kind); it != failing.end() && it->second != 0) {
            return Error(it->second);
        }
        return {};
    }
    OsResult Call(Kind kind) {
        Add(kind);
        return Failure(kind);
    }
};

namespace {

class FakeDevice final : public ser::platform::Device {
    using State = FakeSerialDevice::State;

public:
    FakeDevice(std::shared_ptr<FakeSerialDevice::State> state, bool modemLines)
        : state_(std::move(state)), modemLines_(modemLines) {}

    ~FakeDevice() override {
        std::lock_guard lock(state_->mutex);
        state_->Add(Kind::Close);
        state_->open = false;
        state_->hungUp = false;
        state_->interruptWrite = false;
        state_->interruptWait = false;
        state_->changed.notify_all();
    }

    bool HasModemLines() const override { return modemLines_; }

    OsResult ApplySettings(const LineSettings& settings) override {
        std::lock_guard lock(state_->mutex);
        state_->Add(Kind::Settings).settings = settings;
        if (OsResult error = state_->Failure(Kind::Settings)) {
            return error;
        }
        // As on a real device, the lines follow their control settings when applied.
        state_->dtr = settings.controlDtr == ser::dtrEnabled;
        state_->rts = settings.controlRts == ser::rtsEnabled;
        return {};
    }

    OsResult SetQueueSizes(int, int) override { return Locked(Kind::QueueSizes); }
    OsResult SetTimeouts(std::chrono::milliseconds) override { return Locked(Kind::Timeouts); }
    OsResult SetEventMask(ser::TSerEventMask) override { return Locked(Kind::EventMask); }

    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        std::lock_guard lock(state_->mutex);
        if (OsResult error = state_->Failure(Kind::Read)) {
            return {0, error};
        }
        int n = 0;
        for (; n < count && !state_->input.empty(); ++n) {
            buffer[n] = state_->input.front();
            state_->input.pop_front();
        }
        return {n, {}};
    }

    OsValue<int> Write(const std::uint8_t* data, int count) override {
        std::unique_lock lock(state_->mutex);
        const auto ended = [&] { return state_->interruptWrite || state_->hungUp; };
        state_->changed.wait(lock, [&] { return ended() || !state_->stuck; });
        if (state_->byteTime.count() > 0 && !ended()) {
            count = 1;
            state_->changed.wait_for(lock, state_->byteTime, ended);
        }
        if (OsResult error = state_->Failure(Kind::Write)) {
            return {0, error};
        }
        if (state_->interruptWrite) {
            state_->interruptWrite = false;
            return {};
        }
        FakeSerialDevice::Record& record = state_->Add(Kind::Write);
        record.bytes.assign(data, data + count);
        state_->written.insert(state_->written.end(), data, data + count);
        state_->changed.notify_all();
        return {count, {}};
    }

    void InterruptWrite() override { Flag(&State::interruptWrite); }

    WaitOutcome WaitEvent(WatchFor watch) override {
        std::unique_lock lock(state_->mutex);
        const bool line = watch != WatchFor::Nothing;
        const bool input = watch == WatchFor::InputAndLine;
        state_->changed.wait(lock, [&] {
            return state_->interruptWait || (line && (state_->hungUp || state_->lineError)) ||
                   (input && !state_->input.empty());
        });
        if (state_->interruptWait) {
            state_->interruptWait = false;
            return WaitOutcome::Woken;
        }
        if (line && state_->lineError) {
            state_->lineError = false;
            return WaitOutcome::LineError;
        }
        return line && state_->hungUp ? WaitOutcome::LineGone : WaitOutcome::Input;
    }

    void InterruptWait() override { Flag(&State::interruptWait); }

    OsValue<int> InputCount() override {
        std::lock_guard lock(state_->mutex);
        if (state_->hungUp) {
            return {0, State::Error(EIO)};
        }
        return {static_cast<int>(state_->input.size()), {}};
    }

    OsValue<std::uint32_t> ClearErrors() override { return {}; }

    OsResult PurgeInput() override {
        std::lock_guard lock(state_->mutex);
        if (OsResult error = state_->Call(Kind::Purge)) {
            return error;
        }
        state_->input.clear();
        return {};
    }

    OsResult SetModemLine(ModemLine line, bool on) override {
        std::lock_guard lock(state_->mutex);
        const Kind kind = line == ModemLine::Rts ? Kind::Rts : Kind::Dtr;
        state_->Add(kind).on = on;
        if (OsResult error = state_->Failure(kind)) {
            if (error->code == ENOTTY || error->code == EINVAL) {
                error->kind = OsError::Kind::NoModemLines;
            }
            return error;
        }
        (line == ModemLine::Rts ? state_->rts : state_->dtr) = on;
        return {};
    }

    OsValue<bool> Drain(std::chrono::milliseconds) override {
        // A byte has left the fake line once Write has returned it.
        std::lock_guard lock(state_->mutex);
        if (OsResult error = state_->Call(Kind::Drain)) {
            return {false, error};
        }
        return {true, {}};
    }

private:
    OsResult Locked(Kind kind) {
        std::lock_guard lock(state_->mutex);
        return state_->Call(kind);
    }
    void Flag(bool State::*flag) {
        std::lock_guard lock(state_->mutex);
        (*state_).*flag = true;
        state_->changed.notify_all();
    }

    std::shared_ptr<State> state_;
    const bool modemLines_;
};

}  // namespace

FakeSerialDevice::FakeSerialDevice() : state_(std::make_shared<State>()) {}

OsValue<std::unique_ptr<ser::platform::Device>> FakeSerialDevice::Open(const std::string& path) {
    std::lock_guard lock(state_->mutex);
    state_->Add(Kind::Open).path = path;
    if (state_->missing.count(path) != 0) {
        return {nullptr, OsError{ENOENT, std::strerror(ENOENT), OsError::Kind::NotFound}};
    }
    if (state_->busy.count(path) != 0 || state_->open) {
        return {nullptr, State::Error(EBUSY)};
    }
    state_->open = true;
    return {std::make_unique<FakeDevice>(state_, state_->modemLines), {}};
}

void FakeSerialDevice::SetMissing(const std::string& path, bool missing) {
    std::lock_guard lock(state_->mutex);
    missing ? (void)state_->missing.insert(path) : (void)state_->missing.erase(path);
}

void FakeSerialDevice::SetBusy(const std::string& path, bool busy) {
    std::lock_guard lock(state_->mutex);
    busy ? (void)state_->busy.insert(path) : (void)state_->busy.erase(path);
}

void FakeSerialDevice::SetFailing(Record::Kind kind, int errorCode) {
    std::lock_guard lock(state_->mutex);
    state_->failing[kind] = errorCode;
}

void FakeSerialDevice::SetModemLines(bool present) {
    std::lock_guard lock(state_->mutex);
    state_->modemLines = present;
}

void FakeSerialDevice::Receive(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(state_->mutex);
    state_->input.insert(state_->input.end(), bytes.begin(), bytes.end());
    state_->changed.notify_all();
}

void FakeSerialDevice::ReceiveWithLineError(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(state_->mutex);
    state_->input.insert(state_->input.end(), bytes.begin(), bytes.end());
    state_->lineError = true;
    state_->changed.notify_all();
}

void FakeSerialDevice::HangUp() {
    std::lock_guard lock(state_->mutex);
    state_->hungUp = state_->open;
    state_->changed.notify_all();
}

void FakeSerialDevice::SetByteTime(std::chrono::microseconds perByte) {
    std::lock_guard lock(state_->mutex);
    state_->byteTime = perByte;
}

void FakeSerialDevice::SetWritesStuck(bool stuck) {
    std::lock_guard lock(state_->mutex);
    state_->stuck = stuck;
    state_->changed.notify_all();
}

bool FakeSerialDevice::IsOpen() const {
    std::lock_guard lock(state_->mutex);
    return state_->open;
}

bool FakeSerialDevice::Rts() const {
    std::lock_guard lock(state_->mutex);
    return state_->rts;
}

bool FakeSerialDevice::Dtr() const {
    std::lock_guard lock(state_->mutex);
    return state_->dtr;
}

std::vector<FakeSerialDevice::Record> FakeSerialDevice::Records() const {
    std::lock_guard lock(state_->mutex);
    return state_->records;
}

std::vector<std::uint8_t> FakeSerialDevice::Written() const {
    std::lock_guard lock(state_->mutex);
    return state_->written;
}

bool FakeSerialDevice::WaitForWritten(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->written.size() >= count; });
}
