#include "fuzz/checked_protocol_sink.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

void Fail(const char* rule) {
    std::fprintf(stderr, "receive path: %s\n", rule);
    std::abort();
}

void CheckedProtocolSink::ProtocolWrite(std::uint8_t address, const QString&) {
    Check(address);
}

void CheckedProtocolSink::ProtocolEndLine(std::uint8_t address) {
    Check(address);
}

void CheckedProtocolSink::Check(std::uint8_t address) const {
    if (state_.session.Mode != hart::kModeRegistration) {
        Fail("a protocol piece outside registration mode");
    }
    if (!box_.isChecked()) {
        Fail("a protocol piece with the protocol box unticked");
    }
    if (address != state_.session.ReplyAddress) {
        Fail("a protocol piece for another address than the answer's");
    }
}

}  // namespace fuzzing
