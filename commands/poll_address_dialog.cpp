#include "commands/poll_address_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TForm3::TForm3(QWidget* parent)
    : TParameterDialog("TForm3", QStringLiteral("Введите адрес опроса"), parent),
      LabeledEdit1(NewNamed<QLineEdit>("LabeledEdit1", QStringLiteral("9"))) {
    LabeledEdit1->setMaxLength(3);
    // The field alone would make the dialog too narrow to show its whole caption.
    LabeledEdit1->setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 40);
    auto* label = new QLabel(QStringLiteral(" "));
    label->setBuddy(LabeledEdit1);
    Column()->addWidget(label);
    Column()->addWidget(LabeledEdit1);
    AddOkButton();
}
