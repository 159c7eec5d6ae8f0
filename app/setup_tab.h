#pragma once
// The controls of the setup tab: command list, device address, attempt limit, start button,
// trace and setup table.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class TStringGrid;
class TUpDown;

class SetupTab : public QWidget {
    Q_OBJECT
public:
    // Lines kept in the trace: the newest ones, so a run of days cannot exhaust memory.
    static constexpr int kTraceLineLimit = 200000;

    explicit SetupTab(QWidget* parent = nullptr);

    QComboBox* ComboBox1;     // command catalogue
    QLineEdit* LabeledEdit4;  // "Адрес датчика", driven by UpDown2
    TUpDown* UpDown2;
    QLineEdit* LabeledEdit15;  // "Число попыток", driven by UpDown13
    TUpDown* UpDown13;
    QPushButton* Button1;      // "Старт"
    QPlainTextEdit* Memo1;     // trace
    TStringGrid* StringGrid1;  // setup table
};
