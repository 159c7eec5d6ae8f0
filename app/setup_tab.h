#pragma once
// The controls of the setup tab: command list, device address, attempt limit, start button,
// trace and setup table.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "ui/trace_memo.h"

class TStringGrid;
class TUpDown;

class SetupTab : public QWidget {
    Q_OBJECT
public:
    // Lines kept in the trace: the newest ones, so a run of days cannot exhaust memory. A line
    // held by the pane costs up to about 0.6 KB once it has been laid out.
    static constexpr int kTraceLineLimit = 100000;

    explicit SetupTab(QWidget* parent = nullptr);

    QComboBox* ComboBox1;     // command catalogue
    QLineEdit* LabeledEdit4;  // "Адрес датчика", driven by UpDown2
    TUpDown* UpDown2;
    QLineEdit* LabeledEdit15;  // "Число попыток", driven by UpDown13
    TUpDown* UpDown13;
    QPushButton* Button1;      // "Старт"
    TraceMemo* Memo1;          // trace
    TStringGrid* StringGrid1;  // setup table
};
