#include "commands/variables_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "commands/catalogue.h"

namespace {

QComboBox* NewVariableList(const char* name) {
    auto* list = NewNamed<QComboBox>(name);
    list->addItems(commands::DeviceVariableTexts());
    return list;
}

}  // namespace

TForm5::TForm5(QWidget* parent)
    : TParameterDialog("TForm5", QStringLiteral("Ввод переменных"), parent),
      Label1(NewNamed<QLabel>("Label1", QStringLiteral("Первая переменная"))),
      Label2(NewNamed<QLabel>("Label2", QStringLiteral("Вторая переменная"))),
      Label3(NewNamed<QLabel>("Label3", QStringLiteral("Третья переменная"))),
      Label4(NewNamed<QLabel>("Label4", QStringLiteral("Четвертая переменная"))),
      ComboBox1(NewVariableList("ComboBox1")),
      ComboBox2(NewVariableList("ComboBox2")),
      ComboBox3(NewVariableList("ComboBox3")),
      ComboBox4(NewVariableList("ComboBox4")) {
    auto* rows = new QFormLayout;
    rows->addRow(Label1, ComboBox1);
    rows->addRow(Label2, ComboBox2);
    rows->addRow(Label3, ComboBox3);
    rows->addRow(Label4, ComboBox4);
    Column()->addLayout(rows);
    AddOkButton();
    FormCreate();
}

void TForm5::FormCreate() {
    for (QComboBox* list : {ComboBox1, ComboBox2, ComboBox3, ComboBox4}) {
        list->setCurrentIndex(0);
    }
}
