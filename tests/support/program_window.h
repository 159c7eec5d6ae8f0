#pragma once
// The program's main window under test, on whatever line COM1 names when it is built, with its
// modal windows answered by a driver and the request frames read from the simulator's wire log.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "tests/support/find_control.h"
#include "tests/support/modal_driver.h"

class TStringGrid;
class TTimer;

class ProgramWindow {
public:
    // Builds the main window, which opens COM1; `wireLog` is the simulator's `--log` file.
    explicit ProgramWindow(QString wireLog);
    ProgramWindow(const ProgramWindow&) = delete;
    ProgramWindow& operator=(const ProgramWindow&) = delete;
    ~ProgramWindow();

    TForm1& Form() { return *form_; }
    hart::ProgramState& State() { return form_->State(); }
    ModalDriver& Modals() { return modals_; }

    // A control of a tab (see find_control.h).
    template <typename Control>
    Control* Find(const char* tab, const char* name) {
        return ::Find<Control>(*form_, tab, name);
    }
    // A timer of the main window ("Timer1", "Timer3", "Timer4" .. "Timer13").
    TTimer* Timer(const char* name);

    // The trace memo's lines.
    QStringList Trace();
    TStringGrid& SetupTable();
    TStringGrid& RegistrationTable();

    using Bytes = std::vector<std::uint8_t>;
    // A request frame the simulator received, and when (ms since the simulator started).
    struct WireFrame {
        double ms;
        Bytes bytes;
    };
    std::vector<WireFrame> RequestLog() const;
    // Request frames the simulator received so far, in order.
    std::vector<Bytes> RequestsOnWire() const;

private:
    QString wireLog_;
    ModalDriver modals_;
    std::unique_ptr<TForm1> form_;
};
