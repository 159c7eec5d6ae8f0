#include "ui/pie_gauge.h"

#include <QPainter>
#include <algorithm>

namespace {

// QPainter measures pie angles in sixteenths of a degree.
constexpr int kFullCircle = 360 * 16;
constexpr int kTwelveOClock = 90 * 16;

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TGauge::SetRange(int min, int max) {
    min_ = std::min(min, max);
    max_ = std::max(min, max);
    SetProgress(progress_);
}

void TGauge::SetProgress(int progress) {
    progress_ = std::clamp(progress, min_, max_);
    update();
}

void TGauge::SetForeColor(const QColor& color) {
    foreColor_ = color;
    update();
}

void TGauge::paintEvent(QPaintEvent*) {
    const int side = std::min(width(), height());
    QRect disc(0, 0, side, side);
    disc.moveCenter(rect().center());

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(backColor_);
    painter.drawEllipse(disc);
    if (max_ == min_) {
        return;
    }
    const double share = static_cast<double>(progress_ - min_) / (max_ - min_);
    const int sweep = static_cast<int>(share * kFullCircle + 0.5);
    painter.setBrush(foreColor_);
    // A negative span turns clockwise.
    painter.drawPie(disc, kTwelveOClock, -sweep);
}
