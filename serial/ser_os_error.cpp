#include "serial/ser_os_error.h"

#include "serial/ser_error.h"

namespace ser {

void RaiseOsError(const char* format, const platform::OsError& error) {
    throw ESerCommError(FormatText(format, error.Code, error.Text.c_str()));
}

}  // namespace ser
