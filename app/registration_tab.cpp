#include "app/registration_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "commands/catalogue.h"
#include "ui/named.h"
#include "ui/shape.h"
#include "ui/string_grid.h"

RegistrationTab::RegistrationTab(QWidget* parent)
    : QWidget(parent),
      ComboBox2(NewNamed<QComboBox>("ComboBox2")),
      Label3(NewNamed<QLabel>("Label3", QStringLiteral("Период опроса"))),
      TrackBar1(NewNamed<QSlider>("TrackBar1", Qt::Horizontal)),
      Label1(NewNamed<QLabel>("Label1", QStringLiteral("1 c"))),
      Label32(NewNamed<QLabel>("Label32", QStringLiteral("Опрос через"))),
      Label33(NewNamed<QLabel>("Label33", QStringLiteral("0 c"))),
      ProgressBar1(NewNamed<QProgressBar>("ProgressBar1")),
      Button2(NewNamed<QPushButton>("Button2", QStringLiteral("Старт"))),
      CheckBox1(
          NewNamed<QCheckBox>("CheckBox1", QStringLiteral("Сохранять результаты опроса в файл"))),
      StringGrid2(new TStringGrid(QStringLiteral("StringGrid2"), 6, 255)) {
    auto* addressBox = new QGroupBox(QStringLiteral("Адреса датчиков"));
    auto* addressGrid = new QGridLayout(addressBox);
    auto* statusBox = new QGroupBox(QStringLiteral("Статус"));
    auto* statusColumn = new QVBoxLayout(statusBox);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotBoxes[slot] = new QCheckBox(QStringLiteral("Датчик №%1").arg(slot));
        slotBoxes[slot]->setObjectName(QLatin1String(IndexedName("CheckBox", 11 + slot)));
        slotAddresses[slot] = new QLineEdit(QString::number(slot));
        slotAddresses[slot]->setObjectName(QLatin1String(IndexedName("LabeledEdit", 15 + slot)));
        // The fields only show the slot numbers; a slot's poll address is its number.
        slotAddresses[slot]->setReadOnly(true);
        slotAddresses[slot]->setMaximumWidth(40);
        lamps[slot] = new TShape(QLatin1String(IndexedName("Shape", slot)));
        addressGrid->addWidget(slotBoxes[slot], slot - 1, 0);
        addressGrid->addWidget(slotAddresses[slot], slot - 1, 1);
        statusColumn->addWidget(lamps[slot]);
    }

    ComboBox2->addItems(commands::RegistrationCommandTexts());
    TrackBar1->setRange(1, 10000);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(1);
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 10000);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    StringGrid2->SetColumnWidths({110, 59, 144, 118, 125, 121});
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* periodBox = new QGridLayout;
    periodBox->addWidget(Label3, 0, 0);
    periodBox->addWidget(Label1, 0, 1);
    periodBox->addWidget(TrackBar1, 1, 0, 1, 2);
    periodBox->addWidget(Label32, 2, 0);
    periodBox->addWidget(Label33, 2, 1);

    auto* commandColumn = new QVBoxLayout;
    commandColumn->addWidget(ComboBox2);
    commandColumn->addLayout(periodBox);
    commandColumn->addWidget(Button2);
    commandColumn->addWidget(CheckBox1);
    commandColumn->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(addressBox);
    top->addWidget(statusBox);
    top->addWidget(ProgressBar1);
    top->addLayout(commandColumn, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(StringGrid2, 1);
}

QFileDialog& RegistrationTab::OpenDialog1() {
    if (openDialog1_ == nullptr) {
        openDialog1_ = NewNamed<QFileDialog>("OpenDialog1", this);
        openDialog1_->setOption(QFileDialog::DontUseNativeDialog);
        openDialog1_->setFileMode(QFileDialog::AnyFile);
        openDialog1_->setNameFilter(QStringLiteral("Файл протокола (*.txt)"));
    }
    return *openDialog1_;
}
