#pragma once
// The one exception the serial-port component raises.

#include <stdexcept>

namespace ser {

// Every failure the component reports; carries only its message text.
class ESerCommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Open found no device it could take: none behind the name, or one held by another program.
// Every other failure of Open came after the device was taken.
class ESerCommNoDevice : public ESerCommError {
public:
    using ESerCommError::ESerCommError;
};

}  // namespace ser
