#include "commands/units_dialog.h"

#include <QVBoxLayout>

#include "commands/catalogue.h"
#include "ui/radio_group.h"

TForm10::TForm10(QWidget* parent)
    : TParameterDialog("TForm10", QStringLiteral("Записать единицы измерения датчика"), parent),
      RadioGroup1(NewNamed<TRadioGroup>("RadioGroup1", QStringLiteral("Единицы измерения датчика"),
                                        commands::PressureUnitTexts())) {
    RadioGroup1->SetItemIndex(0);
    Column()->addWidget(RadioGroup1);
    AddOkButton();
}
