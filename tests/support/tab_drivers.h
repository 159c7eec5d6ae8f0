#pragma once
// The tabs of a running program driven as the operator drives them.

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

#include "tests/support/program_window.h"

class TTimer;
class TUpDown;

// The setup tab.
struct SetupTabDriver {
    explicit SetupTabDriver(ProgramWindow& program);
    // Presses "Старт" with the catalogue entry and poll address given and waits until the
    // transaction is over.
    void Run(int commandIndex, int pollAddress);
    // The setup table's cells of `column` in rows first .. first + count - 1.
    QStringList Column(int column, int first, int count) const;

    ProgramWindow& program;
    QPushButton* start;
    QComboBox* command;
    TUpDown* address;
    TUpDown* attempts;
};

// The registration tab.
struct RegistrationTabDriver {
    explicit RegistrationTabDriver(ProgramWindow& program);
    QCheckBox* SlotBox(int slot) const;
    void TickSlots(std::initializer_list<int> numbers);
    void TickAllSlots();
    // Presses "Старт" or "Стоп".
    void Toggle() { start->click(); }
    // Ticks the protocol box and confirms `path` in its file dialog.
    void SwitchProtocolOn(const QString& path);
    // An expiry of the period timer, driven directly.
    void Tick();

    QColor Lamp(int slot) const;
    // Whether the lamps of slots `from`..`to` all show `colour`.
    bool LampsAre(int from, int to, const QColor& colour) const;
    // The time-out of a slot ("Timer4" .. "Timer13").
    TTimer& SlotTimer(int slot) const;
    QString Cell(int row, int column) const;
    // The registration table row whose address column reads `address`; 0 when none does.
    int RowOf(int address) const;
    // The poll addresses of the requests on the wire so far, in order.
    std::vector<int> AddressesOnWire() const;

    ProgramWindow& program;
    QPushButton* start;
    QComboBox* command;
    QSlider* period;
    QLabel* countdown;
    QProgressBar* progress;
    QCheckBox* protocol;
};

// The port tab's two buttons.
void ClosePort(ProgramWindow& program);
void OpenPort(ProgramWindow& program);
