#include "ui/radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), items_(items) {
    auto* column = new QVBoxLayout(this);
    for (qsizetype i = 0; i < items_.size(); ++i) {
        auto* button = new QRadioButton(items_[i], this);
        buttons_.addButton(button, static_cast<int>(i));
        column->addWidget(button);
    }
    connect(&buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit ItemIndexChanged(id);
        }
    });
}

void TRadioGroup::SetItemIndex(int index) {
    QAbstractButton* wanted = buttons_.button(index);
    QAbstractButton* current = buttons_.checkedButton();
    if (wanted == current) {
        return;
    }
    if (wanted) {
        wanted->setChecked(true);
        return;
    }
    // An exclusive group refuses to clear its last checked button.
    buttons_.setExclusive(false);
    current->setChecked(false);
    buttons_.setExclusive(true);
    emit ItemIndexChanged(-1);
}
