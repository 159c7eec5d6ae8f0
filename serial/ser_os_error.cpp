#include "serial/ser_os_error.h"

#include "serial/ser_error.h"

namespace ser {

void RaiseOsError(const char* format, const platform::OsError& error) {
    throw ESerCommError(FormatText(format, error.code, error.text.c_str()));
}

}  // namespace ser
