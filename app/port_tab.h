#pragma once
// The serial-port tab: the port list, the fixed line settings it shows, the buttons that switch
// the port on and off, and the open-state display.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>

namespace ser {
class TSerCustomComm;
}

class PortTab : public QWidget {
    Q_OBJECT
public:
    // `onOpened` runs after every successful opening (the receive side starts afresh).
    PortTab(ser::TSerCustomComm& port, std::function<void()> onOpened, QWidget* parent = nullptr);

    QGroupBox* GroupBox8;
    QLabel* Label15;
    QComboBox* ComboBox7;     // the port: "COM1" .. "COM10"
    QLabel* DevicePathLabel;  // the device the chosen name opens on this workstation
    QLabel* Label7;
    QComboBox* ComboBox3;  // bit rate, shown only
    QLabel* Label8;
    QComboBox* ComboBox4;  // data bits, shown only
    QLabel* Label9;
    QComboBox* ComboBox5;  // parity, shown only
    QLabel* Label10;
    QComboBox* ComboBox6;   // stop bits, shown only
    QPushButton* Button14;  // "switch the port on"
    QPushButton* Button15;  // "switch the port off"
    QLabel* Label16;        // open-state text

    // Opens the named port with the fixed line settings, raises DTR, lowers RTS, drops what was
    // received before, and shows the open state. A failure propagates with the port closed and
    // the display unchanged.
    void OpenComPort(const std::string& deviceName);
    // Start-up: opens COM1, or warns (with a beep) that it is busy and shows the closed state.
    void OpenAtStartUp();
    void Button14Click();
    void Button15Click();

private:
    void ApplyLineSettings();
    void OpenDevice();
    void ShowOpenState();
    void ShowClosedState();
    // The display as the port is.
    void ShowPortState();
    // Shows the display as the port is, then `message` in a message box, with a beep.
    void ReportFailure(const QString& message);
    void ShowDevicePath();
    void SetLabelColour(const QColor& colour);

    ser::TSerCustomComm& SerComm1;
    std::function<void()> onOpened_;
};
