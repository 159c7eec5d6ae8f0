#pragma once
// The protocol box of the registration tab: ticking it asks for a file name and creates one
// protocol file per ticked slot; unticking it closes them.

#include "modes/protocol_files.h"
#include "modes/registration_controls.h"

namespace modes {

class ProtocolSwitch {
public:
    ProtocolSwitch(hart::ProgramState& state, const RegistrationControls& controls,
                   ProtocolFiles& files)
        : state_(state), controls_(controls), files_(files) {}

    // Runs on every change of the box's checked state, also the changes it makes itself.
    void CheckBox1Click();
    // Locks the slot tick boxes and creates the file of every ticked slot.
    void OpenProtocolFiles();
    // Closes every open protocol file and unlocks the slot tick boxes.
    void CloseProtocolFiles();

    // Whether the protocol files are open (the operator confirmed a name).
    bool ProtocolOpen() const { return protocolOpen_; }

private:
    void Uncheck();

    hart::ProgramState& state_;
    RegistrationControls controls_;
    ProtocolFiles& files_;
    bool protocolOpen_ = false;
    QString chosenPath_;
};

}  // namespace modes
