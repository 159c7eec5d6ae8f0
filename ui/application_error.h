#pragma once
// The application's default error report: an exception that escapes an event handler is shown to
// the operator in a message box with its text; the handler stops there and the program goes on.

#include <exception>
#include <utility>

// Shows the message box of the error report for `error` (modal, OK button).
void ReportApplicationError(std::exception_ptr error);

// Runs one event handler; an exception escaping it goes to the error report.
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportApplicationError(std::current_exception());
    }
}
