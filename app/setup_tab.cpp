#include "app/setup_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "commands/catalogue.h"
#include "ui/named.h"
#include "ui/string_grid.h"
#include "ui/up_down.h"

namespace {

// A read-only field with a caption above it and up/down arrows beside it.
QWidget* NumberField(const QString& caption, QLineEdit* edit, TUpDown* upDown, int min, int max,
                     int position) {
    edit->setReadOnly(true);
    upDown->SetRange(min, max);
    upDown->SetAssociate(edit);
    upDown->SetPosition(position);
    auto* field = new QWidget;
    auto* grid = new QGridLayout(field);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(edit);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(edit, 1, 0);
    grid->addWidget(upDown, 1, 1);
    return field;
}

// Gives the button the size of its longest caption for good. A button that changes size with
// its caption makes the window lay itself out and repaint everything; this one repaints itself.
void FixSizeForCaptions(QPushButton& button, const QStringList& captions) {
    const QString shown = button.text();
    QSize size;
    for (const QString& caption : captions) {
        button.setText(caption);
        size = size.expandedTo(button.sizeHint());
    }
    button.setText(shown);
    button.setFixedSize(size);
}

}  // namespace

SetupTab::SetupTab(QWidget* parent)
    : QWidget(parent),
      ComboBox1(NewNamed<QComboBox>("ComboBox1")),
      LabeledEdit4(NewNamed<QLineEdit>("LabeledEdit4")),
      UpDown2(NewNamed<TUpDown>("UpDown2")),
      LabeledEdit15(NewNamed<QLineEdit>("LabeledEdit15")),
      UpDown13(NewNamed<TUpDown>("UpDown13")),
      Button1(NewNamed<QPushButton>("Button1", QStringLiteral("Старт"))),
      Memo1(NewNamed<TraceMemo>("Memo1", kTraceLineLimit)),
      StringGrid1(new TStringGrid(QStringLiteral("StringGrid1"), 6, 2)) {
    ComboBox1->addItems(commands::CatalogueTexts());
    auto* commandBox = new QGroupBox(QStringLiteral("Выбор команды"));
    (new QVBoxLayout(commandBox))->addWidget(ComboBox1);

    StringGrid1->SetColumnWidths({110, 52, 211, 211, 81, 104});
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->horizontalHeader()->setSectionsMovable(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(commandBox, 1);
    controls->addWidget(
        NumberField(QStringLiteral("Адрес датчика"), LabeledEdit4, UpDown2, 0, 255, 0));
    controls->addWidget(
        NumberField(QStringLiteral("Число попыток"), LabeledEdit15, UpDown13, 0, 100, 3));
    // "Передача..." while a request is on its way.
    FixSizeForCaptions(*Button1, {Button1->text(), QStringLiteral("Передача...")});
    controls->addWidget(Button1, 0, Qt::AlignBottom);

    auto* page = new QVBoxLayout(this);
    page->addLayout(controls);
    page->addWidget(StringGrid1, 2);
    page->addWidget(Memo1, 1);
}
