#pragma once
// The dialog that asks for the new polling address of a transmitter.

#include "commands/parameter_dialog_base.h"

class QLineEdit;

class TForm3 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent);

    QLineEdit* LabeledEdit1;
};
