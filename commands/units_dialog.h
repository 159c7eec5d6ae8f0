#pragma once
// The dialog that asks for the pressure units of the transmitter.

#include "commands/parameter_dialog_base.h"

class TRadioGroup;

class TForm10 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent);

    // The position of the chosen item is the unit index the request carries.
    TRadioGroup* RadioGroup1;
};
