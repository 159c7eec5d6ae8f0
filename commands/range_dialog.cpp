#include "commands/range_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TForm7::TForm7(QWidget* parent)
    : TParameterDialog("TForm7", QStringLiteral("Записать значения диапазона"), parent),
      Label1(NewNamed<QLabel>("Label1", QStringLiteral("Введите нижнее значение диапазона"))),
      Edit1(NewNamed<QLineEdit>("Edit1", QStringLiteral("0"))),
      Label2(NewNamed<QLabel>("Label2", QStringLiteral("Введите верхнее значение диапазона"))),
      Edit2(NewNamed<QLineEdit>("Edit2", QStringLiteral("1"))) {
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Column()->addWidget(Label1);
    Column()->addWidget(Edit1);
    Column()->addWidget(Label2);
    Column()->addWidget(Edit2);
    AddOkButton();
}
