#include "trend/trend_chart_view.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace trend {
namespace {

constexpr double kZoomPerNotch = 0.8;  // one notch of the wheel away from the operator: 80 %
// A notch of the wheel turns it 15 degrees; angleDelta counts eighths of a degree.
constexpr double kEighthsOfADegreePerNotch = 15 * 8;
constexpr double kPanPerKey = 0.1;  // of the shown span

}  // namespace

TrendChartView::TrendChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

double TrendChartView::ShareAt(const QPointF& position) const {
    const QRectF plot = chart()->plotArea();
    const QPointF inChart = chart()->mapFromScene(mapToScene(position.toPoint()));
    return plot.width() > 0 ? (inChart.x() - plot.left()) / plot.width() : 0;
}

void TrendChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kEighthsOfADegreePerNotch;
    if (notches != 0) {
        emit ZoomRequested(std::pow(kZoomPerNotch, notches), ShareAt(event->position()));
    }
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragShare_ = ShareAt(event->position());
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    const double share = ShareAt(event->position());
    // Dragging the line to the right shows what came earlier.
    emit PanRequested(dragShare_ - share);
    dragShare_ = share;
    event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    unsetCursor();
    event->accept();
}

void TrendChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    emit EverythingRequested();
    event->accept();
}

bool TrendChartView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QChartView::viewportEvent(event);
    }
    emit TipRequested(static_cast<QHelpEvent*>(event)->pos());
    return true;
}

void TrendChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // "+" without Shift on most layouts
            emit ZoomRequested(kZoomPerNotch, 0.5);
            break;
        case Qt::Key_Minus:
            emit ZoomRequested(1 / kZoomPerNotch, 0.5);
            break;
        case Qt::Key_Left:
            emit PanRequested(-kPanPerKey);
            break;
        case Qt::Key_Right:
            emit PanRequested(kPanPerKey);
            break;
        case Qt::Key_Home:
            emit EverythingRequested();
            break;
        default:
            QChartView::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace trend
