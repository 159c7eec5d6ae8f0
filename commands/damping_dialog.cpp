#include "commands/damping_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/pie_gauge.h"

namespace {

constexpr int kMinDamping = 1;
constexpr int kMaxDamping = 50;

QLabel* NewValueLabel() {
    auto* label = NewNamed<QLabel>("Label2", QString::number(kMinDamping));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 2);
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

TForm6::TForm6(QWidget* parent)
    : TParameterDialog("TForm6", QStringLiteral("Ввод величины демпфирования"), parent),
      Label1(NewNamed<QLabel>("Label1", QStringLiteral("Величина демпфирования"))),
      Label2(NewValueLabel()),
      Gauge1(NewNamed<TGauge>("Gauge1")),
      TrackBar1(NewNamed<QSlider>("TrackBar1", Qt::Horizontal)) {
    Gauge1->SetRange(kMinDamping, kMaxDamping);
    Gauge1->SetProgress(kMinDamping);
    Gauge1->SetForeColor(QColor(135, 206, 235));
    TrackBar1->setRange(kMinDamping, kMaxDamping);
    TrackBar1->setValue(kMinDamping);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(5);

    auto* values = new QHBoxLayout;
    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2, 0, Qt::AlignHCenter);
    texts->addStretch();
    values->addLayout(texts);
    values->addWidget(Gauge1);
    Column()->addLayout(values);
    Column()->addWidget(TrackBar1);
    AddOkButton();

    connect(TrackBar1, &QSlider::valueChanged, this, &TForm6::TrackBar1Change);
}

void TForm6::TrackBar1Change() {
    Label2->setText(QString::number(TrackBar1->value()));
    Gauge1->SetProgress(TrackBar1->value());
}
