#pragma once
// The dialog that asks for the damping value, 1 to 50, on a track bar with a pie gauge beside.

#include "commands/parameter_dialog_base.h"

class QLabel;
class QSlider;
class TGauge;

class TForm6 : public TParameterDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent);

    QLabel* Label1;
    // The value as text.
    QLabel* Label2;
    TGauge* Gauge1;
    // The value itself, which the request is built from.
    QSlider* TrackBar1;

    // Shows the track bar's position in the label and the gauge.
    void TrackBar1Change();
};
