#pragma once
// The dialog in which the operator picks the four device variables to read.

#include "commands/parameter_dialog_base.h"

class QComboBox;
class QLabel;

class TForm5 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    // The position of the chosen item is the variable code.
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QComboBox* ComboBox3;
    QComboBox* ComboBox4;

    // Selects the first variable in every list.
    void FormCreate();
};
