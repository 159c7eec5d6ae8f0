#include "serial/ser_port_session.h"

#include <utility>

#include "serial/ser_messages.h"
#include "serial/ser_os_error.h"

namespace ser {

TSerPortSession::TSerPortSession(std::unique_ptr<platform::Device> device, int readSize)
    : device_(std::move(device)), input_(readSize) {}

platform::OsValue<int> TSerPortSession::Fill() {
    std::lock_guard lock(readLock_);
    if (Dead()) {
        return {};
    }
    platform::OsValue<int> read = device_->Read(input_.End(), input_.Room());
    if (read.error && read.error->kind == platform::OsError::Kind::LineGone) {
        MarkDead();
    }
    input_.Grow(read.value);
    return read;
}

bool TSerPortSession::InputFull() {
    std::lock_guard lock(readLock_);
    return input_.Room() == 0;
}

int TSerPortSession::Read(std::uint8_t* buffer, int count) {
    std::lock_guard lock(readLock_);
    const bool wasFull = input_.Room() == 0;
    int taken = input_.Take(buffer, count);
    if (taken < count && !Dead()) {
        const platform::OsValue<int> read = device_->Read(buffer + taken, count - taken);
        // Bytes already taken from the queue are handed out; a lasting failure shows at the
        // next read.
        if (taken == 0 || !read.error) {
            Check(read.error, messages::kReadError);
        }
        taken += read.value;
    }
    WakeIfWasFull(wasFull);
    return taken;
}

int TSerPortSession::InputCount() {
    std::lock_guard lock(readLock_);
    int count = input_.Size();
    if (!Dead()) {
        const platform::OsValue<int> driver = device_->InputCount();
        Check(driver.error, messages::kStatistics);
        count += driver.value;
    }
    return count;
}

void TSerPortSession::Purge() {
    std::lock_guard lock(readLock_);
    const bool wasFull = input_.Room() == 0;
    input_.Clear();
    WakeIfWasFull(wasFull);
    if (!Dead()) {
        Check(device_->PurgeInput(), messages::kClearBuffers);
    }
}

std::uint32_t TSerPortSession::ClearErrors() {
    std::lock_guard lock(readLock_);
    if (Dead()) {
        return 0;
    }
    const platform::OsValue<std::uint32_t> errors = device_->ClearErrors();
    Check(errors.error, messages::kStatistics);
    return errors.value;
}

void TSerPortSession::SetModemLine(platform::ModemLine line, bool on) {
    if (!Dead()) {
        Check(device_->SetModemLine(line, on), messages::kCommFunction);
    }
}

bool TSerPortSession::Drain(std::chrono::milliseconds timeout) {
    if (Dead()) {
        return false;
    }
    const platform::OsValue<bool> drained = device_->Drain(timeout);
    Check(drained.error, messages::kCommFunction);
    return drained.value && !Dead();
}

void TSerPortSession::MarkDead() {
    if (!dead_.exchange(true)) {
        device_->InterruptWait();
        device_->InterruptWrite();
    }
}

void TSerPortSession::Check(const platform::OsResult& error, const char* message) {
    if (!error) {
        return;
    }
    switch (error->kind) {
        case platform::OsError::Kind::LineGone:
            MarkDead();
            return;
        case platform::OsError::Kind::NoModemLines:
            // A line found without modem lines at opening (a pseudo-terminal) has none to
            // move; any other device that cannot move RTS cannot key a modem, which the
            // operator must learn.
            if (!device_->HasModemLines()) {
                return;
            }
            break;
        case platform::OsError::Kind::NotFound:
        case platform::OsError::Kind::Other:
            break;
    }
    RaiseOsError(message, *error);
}

void TSerPortSession::WakeIfWasFull(bool wasFull) {
    if (wasFull && input_.Room() > 0) {
        device_->InterruptWait();
    }
}

}  // namespace ser
