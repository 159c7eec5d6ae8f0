#pragma once
// The request builders: each writes its command's data bytes into the request frame, asking the
// operator for parameters first where the command has a dialog; the command number and byte count
// come from the command's catalogue row.

#include <cstdint>
#include <span>

#include "commands/parameter_dialogs.h"
#include "hart/program_state.h"

namespace commands {

struct CommandRow;

class RequestBuilders {
public:
    RequestBuilders(hart::ProgramState& state, const ParameterDialogs& dialogs)
        : state_(state), dialogs_(dialogs) {}

    // Builds the request of entry `index` of the setup command list (0..9).
    void BuildCatalogueEntry(int index);
    // Builds the request of entry `index` of the registration command list (0..2).
    void BuildRegistrationEntry(int index);

    void BuildWritePollAddress();
    void BuildReadDeviceVariables();
    void BuildWriteDamping();
    void BuildWriteRange();
    void BuildFixedCurrent();
    void BuildWriteUnits();

private:
    // Runs the row's builder, then sets the request's command number and byte count.
    void Build(const CommandRow* row);
    void SetData(int index, std::uint8_t value);
    // Writes `bytes` into the data from byte `index` on.
    void SetData(int index, std::span<const std::uint8_t> bytes);
    bool FirstSending() const { return state_.session.AttemptNo == 1; }

    hart::ProgramState& state_;
    ParameterDialogs dialogs_;
};

}  // namespace commands
