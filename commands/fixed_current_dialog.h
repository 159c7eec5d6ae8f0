#pragma once
// The dialog that asks for the fixed loop current in milliamperes, or switches the fixed-current
// mode off. It warns about a current outside 4..20 mA but closes on OK all the same.

#include "commands/parameter_dialog_base.h"

class QFrame;
class QLineEdit;
class TUpDown;

class TForm9 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent);

    QPushButton* Button1;
    // The current as the operator entered it; "0" switches the mode off.
    QLineEdit* LabeledEdit1;
    TUpDown* UpDown1;
    QFrame* Bevel1;

    // Switches the mode off: the field becomes "0" and the dialog stays open.
    void Button1Click();
    // Checks the current, warns when it is out of range, and closes the dialog: accepted, or
    // rejected after a warning. A whole part that is not a number goes to the error report.
    void BitBtn1Click() override;
    // Every showing starts from 4 mA, whatever was entered before.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};
