#include "ui/shape.h"

#include <QPainter>

TShape::TShape(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMinimumSize(16, 16);
}

void TShape::SetBrushColor(const QColor& color) {
    if (color == brush_) {
        return;
    }
    brush_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(brush_);
    const int side = std::min(width(), height()) - 2;
    painter.drawEllipse(QRect((width() - side) / 2, (height() - side) / 2, side, side));
}
