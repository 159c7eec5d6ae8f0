#pragma once
// The controls of the registration tab: the ten slots with their tick boxes, address fields and
// lamps, the command list, the period, the countdown, the start button, the protocol box and
// the registration table.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <array>

#include "hart/lamps.h"
#include "hart/program_state.h"

class TShape;
class TStringGrid;

class RegistrationTab : public QWidget {
    Q_OBJECT
public:
    explicit RegistrationTab(QWidget* parent = nullptr);

    // Slots 1..10; index 0 is unused.
    std::array<QCheckBox*, hart::kSlotCount + 1> slotBoxes{};      // CheckBox12 .. CheckBox21
    std::array<QLineEdit*, hart::kSlotCount + 1> slotAddresses{};  // LabeledEdit16 .. LabeledEdit25
    hart::LampShapes lamps{};                                      // Shape1 .. Shape10

    QComboBox* ComboBox2;  // read command
    QLabel* Label3;        // "Период опроса"
    QSlider* TrackBar1;    // period in seconds
    QLabel* Label1;        // the period
    QLabel* Label32;       // "Опрос через"
    QLabel* Label33;       // seconds to the next poll
    QProgressBar* ProgressBar1;
    QPushButton* Button2;      // "Старт" / "Стоп"
    QCheckBox* CheckBox1;      // save the poll results to a file
    TStringGrid* StringGrid2;  // registration table

    // Asks for the protocol file name. Made when first asked for: a file dialog (its icons,
    // its file-system model) would take a third of the main window's construction.
    QFileDialog& OpenDialog1();

private:
    QFileDialog* openDialog1_ = nullptr;
};
