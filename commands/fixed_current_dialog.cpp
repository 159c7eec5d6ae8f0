#include "commands/fixed_current_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "hart/conversions.h"
#include "ui/application_error.h"
#include "ui/message_boxes.h"
#include "ui/up_down.h"

namespace {

constexpr int kMinCurrent = 4;
constexpr int kMaxCurrent = 20;

// True when the current text needs the range warning: its whole part (before the first comma,
// or else the first dot) is outside 4..20, or it is 20 with a fraction; the exact text "0" is
// allowed. Throws EConvertError when the whole part is not an integer.
bool CurrentNeedsWarning(const QString& text) {
    qsizetype separator = text.indexOf(u',');
    if (separator < 0) {
        separator = text.indexOf(u'.');
    }
    const bool hasFraction = separator >= 0;
    const int whole = StrToInt(hasFraction ? text.left(separator) : text);
    if ((whole < kMinCurrent || whole > kMaxCurrent) && text != QStringLiteral("0")) {
        return true;
    }
    return whole == kMaxCurrent && hasFraction;
}

}  // namespace

TForm9::TForm9(QWidget* parent)
    : TParameterDialog("TForm9", QStringLiteral("Режим фиксированного тока"), parent),
      Button1(
          NewNamed<QPushButton>("Button1", QStringLiteral("Отключить режим фиксированного тока"))),
      LabeledEdit1(NewNamed<QLineEdit>("LabeledEdit1", QString::number(kMinCurrent))),
      UpDown1(NewNamed<TUpDown>("UpDown1")),
      Bevel1(NewNamed<QFrame>("Bevel1")) {
    // Tab moves between the buttons only; the field is reached with the mouse.
    LabeledEdit1->setFocusPolicy(Qt::ClickFocus);
    UpDown1->SetRange(kMinCurrent, kMaxCurrent);
    UpDown1->SetAssociate(LabeledEdit1);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    auto* label = new QLabel(QStringLiteral("Введите значение фиксированного тока (мА)  "));
    label->setBuddy(LabeledEdit1);
    auto* framed = new QGridLayout(Bevel1);
    framed->addWidget(label, 0, 0);
    framed->addWidget(LabeledEdit1, 0, 1);
    framed->addWidget(UpDown1, 0, 2);
    framed->addWidget(BitBtn1, 1, 0, 1, 3, Qt::AlignHCenter);

    Column()->addWidget(Button1);
    Column()->addWidget(Bevel1);

    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
}

void TForm9::Button1Click() {
    LabeledEdit1->setText(QStringLiteral("0"));
}

void TForm9::BitBtn1Click() {
    int result = Accepted;
    Guarded([this, &result] {
        if (CurrentNeedsWarning(LabeledEdit1->text())) {
            ShowMessage(QStringLiteral("Значение тока лежит в диапазоне от 4 мА до 20 мА"), this);
            result = Rejected;
        }
    });
    done(result);
}

void TForm9::FormShow() {
    UpDown1->SetPosition(kMinCurrent);
}

void TForm9::showEvent(QShowEvent* event) {
    TParameterDialog::showEvent(event);
    if (!event->spontaneous()) {
        // Unlike the other dialogs this one opens in the middle of the screen, not of its parent.
        CentreOnScreen(*this);
        FormShow();
    }
}
