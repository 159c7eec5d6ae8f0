#pragma once
// A progress gauge drawn as a pie: a disc whose slice, from twelve o'clock clockwise, grows with
// the progress from MinValue (empty) to MaxValue (full). It has no border.

#include <QColor>
#include <QWidget>

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    QColor ForeColor() const { return foreColor_; }
    QColor BackColor() const { return backColor_; }

    // Sets the range (the smaller bound is the minimum) and pulls the progress into it.
    void SetRange(int min, int max);
    // The progress is clamped into the range.
    void SetProgress(int progress);
    // The colour of the slice.
    void SetForeColor(const QColor& color);

    QSize sizeHint() const override { return {100, 100}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int min_ = 0;
    int max_ = 100;
    int progress_ = 0;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = Qt::white;
};
