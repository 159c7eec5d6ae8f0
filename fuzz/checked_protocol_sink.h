#pragma once
// A protocol sink that keeps nothing and stops the run when a piece comes at a time when no
// protocol line may be written: outside registration mode, with the box unticked, or for another
// address than the answer being decoded.

#include <QCheckBox>

#include "commands/protocol_sink.h"
#include "hart/program_state.h"

namespace fuzzing {

class CheckedProtocolSink : public commands::ProtocolSink {
public:
    CheckedProtocolSink(const hart::ProgramState& state, const QCheckBox& box)
        : state_(state), box_(box) {}

    void ProtocolWrite(std::uint8_t address, const QString& text) override;
    void ProtocolEndLine(std::uint8_t address) override;

private:
    void Check(std::uint8_t address) const;

    const hart::ProgramState& state_;
    const QCheckBox& box_;
};

// Reports a broken rule and aborts, so that the fuzzer keeps the input.
[[noreturn]] void Fail(const char* rule);

}  // namespace fuzzing
