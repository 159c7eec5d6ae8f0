#pragma once
// The request builders: each puts its command number, byte count and data bytes into the request
// state, asking the operator for parameters first where the command has a dialog.

#include <array>

#include "commands/parameter_dialogs.h"
#include "hart/program_state.h"

namespace commands {

class RequestBuilders {
public:
    RequestBuilders(hart::ProgramState& state, const ParameterDialogs& dialogs)
        : state_(state), dialogs_(dialogs) {}

    // The builder of entry `index` of the setup command list (0..9).
    void BuildCatalogueEntry(int index);
    // The builder of entry `index` of the registration command list (0..2).
    void BuildRegistrationEntry(int index);

    void BuildReadPrimary();
    void BuildReadCurrentAndVariables();
    void BuildWritePollAddress();
    void BuildReadDeviceVariables();
    void BuildWriteDamping();
    void BuildWriteRange();
    void BuildRangeCorrection();
    void BuildZeroCorrection();
    void BuildFixedCurrent();
    void BuildWriteUnits();

private:
    using Builder = void (RequestBuilders::*)();
    static const std::array<Builder, 10> kCatalogue;
    static const std::array<Builder, 3> kRegistration;

    void SetCommand(std::uint8_t command, std::uint8_t byteCount);
    void SetData(int index, std::uint8_t value);
    bool FirstSending() const { return state_.session.AttemptNo == 1; }

    hart::ProgramState& state_;
    ParameterDialogs dialogs_;
};

}  // namespace commands
