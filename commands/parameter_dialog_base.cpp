#include "commands/parameter_dialog_base.h"

#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TParameterDialog::TParameterDialog(const char* name, const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      BitBtn1(NewNamed<QPushButton>("BitBtn1", QStringLiteral("OK"), this)),
      column_(new QVBoxLayout(this)) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    column_->setSizeConstraint(QLayout::SetFixedSize);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TParameterDialog::AddOkButton() {
    column_->addWidget(BitBtn1, 0, Qt::AlignHCenter);
}

void TParameterDialog::BitBtn1Click() {
    accept();
}
