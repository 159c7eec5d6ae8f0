#pragma once
// The dialog that asks for the lower and upper range values.

#include "commands/parameter_dialog_base.h"

class QLabel;
class QLineEdit;

class TForm7 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent);

    QLabel* Label1;
    // The lower range value.
    QLineEdit* Edit1;
    QLabel* Label2;
    // The upper range value.
    QLineEdit* Edit2;
};
