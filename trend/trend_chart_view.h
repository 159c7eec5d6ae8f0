#pragma once
// The chart's view, which turns the mouse and the keyboard into moves of the time axis: the wheel
// zooms about the pointer, a drag pans, a double click asks for everything; "+" and "-" zoom about
// the middle, Left and Right pan, Home asks for everything. Positions are shares of the plot
// area's width (0 at its left edge, 1 at its right). Where the pointer rests, it asks for a tool
// tip in place of the scene's, which would hide it for want of an item that has one.

#include <QChartView>

namespace trend {

class TrendChartView : public QChartView {
    Q_OBJECT
public:
    explicit TrendChartView(QChart* chart, QWidget* parent = nullptr);

signals:
    // `factor` below 1 zooms in.
    void ZoomRequested(double factor, double at);
    void PanRequested(double by);
    void EverythingRequested();
    // The pointer rests at `position`, in the viewport's pixels.
    void TipRequested(QPoint position);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    double ShareAt(const QPointF& position) const;

    bool dragging_ = false;
    double dragShare_ = 0;
};

}  // namespace trend
