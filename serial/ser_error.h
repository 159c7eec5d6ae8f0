#pragma once
// The one exception the serial-port component raises.

#include <stdexcept>

namespace ser {

// Every failure the component reports; carries only its message text.
class ESerCommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ser
