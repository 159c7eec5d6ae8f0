#pragma once
// The chart's view, which turns the mouse into moves of the time axis: the wheel zooms about the
// pointer, a drag pans, a double click asks for everything. Positions are shares of the plot
// area's width (0 at its left edge, 1 at its right).

#include <QChartView>

namespace trend {

class TrendChartView : public QChartView {
    Q_OBJECT
public:
    using QChartView::QChartView;

signals:
    // `factor` below 1 zooms in.
    void ZoomRequested(double factor, double at);
    void PanRequested(double by);
    void EverythingRequested();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    double ShareAt(const QPointF& position) const;

    bool dragging_ = false;
    double dragShare_ = 0;
};

}  // namespace trend
