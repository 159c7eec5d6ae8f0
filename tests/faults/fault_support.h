#pragma once
// What the fault-injection tests share: the program's tabs driven as the operator drives them,
// and how busy the program's threads are.

#include <QCheckBox>
#include <QColor>
#include <QPushButton>
#include <QString>
#include <chrono>
#include <initializer_list>

#include "tests/support/program_fixture.h"

class TUpDown;

namespace faults {

// Generous for a loaded two-core machine; waits end as soon as the awaited thing happens.
inline constexpr int kPatienceMs = 20000;

inline const QColor kSilver(192, 192, 192), kRed(255, 0, 0), kYellow(255, 255, 0),
    kGreen(0, 128, 0);
inline const QString kNotReliable = QStringLiteral("Данные не достоверны");
inline const QString kNoAnswer = QStringLiteral("Нет ответа");

// The setup tab.
struct SetupDriver {
    explicit SetupDriver(ProgramFixture& program);
    // Presses "Старт" with the catalogue entry and poll address given and waits until the
    // transaction is over.
    void Run(int commandIndex, int pollAddress);
    // The setup table cell of the answer before the next one.
    QString LastAnswer(int column) const;

    ProgramFixture& program;
    QPushButton* start;
    TUpDown* address;
};

// The registration tab.
struct RegistrationDriver {
    explicit RegistrationDriver(ProgramFixture& program);
    void TickSlots(std::initializer_list<int> numbers);
    void TickAllSlots();
    // Presses "Старт" or "Стоп".
    void Toggle() { start->click(); }
    QColor Lamp(int slot) const;
    // Whether the lamps of slots `from`..`to` all show `colour`.
    bool LampsAre(int from, int to, const QColor& colour) const;
    QString Cell(int row, int column) const;
    // The registration table row whose address column reads `address`; 0 when none does.
    int RowOf(int address) const;
    // Ticks the protocol box and confirms `path` in its file dialog.
    void SwitchProtocolOn(const QString& path);

    ProgramFixture& program;
    QPushButton* start;
    QCheckBox* protocol;
};

// The port tab's two buttons.
void ClosePort(ProgramFixture& program);
void OpenPort(ProgramFixture& program);

// The largest share of one core (0 to 1) that any thread of this process used over `window`,
// with the event loop running all the while.
double BusiestThreadShare(std::chrono::milliseconds window);

}  // namespace faults
