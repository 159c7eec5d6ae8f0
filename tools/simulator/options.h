#pragma once
// The command line of the simulator.

#include <optional>
#include <string>
#include <vector>

#include "identity.h"
#include "text_parsing.h"

namespace sim {

struct Options {
    AddressSet addresses = ParseAddressSet("0-10");
    std::string linkPath;  // empty: no link
    std::string logPath;   // empty: no log; "-": the standard error
    bool pace = false;
    std::optional<unsigned> seed;
    IdentityTable identities = DefaultIdentities();  // by poll address
    // Misbehaviour switches given on the command line, each as the words of a control line.
    std::vector<std::vector<std::string>> switches;
    bool help = false;
};

// Throws std::invalid_argument for an option it does not know, a value it cannot read or an
// identity that cannot be told. The switches are checked only when they are applied.
Options ParseOptions(int argc, const char* const* argv);

std::string HelpText();

}  // namespace sim
