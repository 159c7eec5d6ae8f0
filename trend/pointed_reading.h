#pragma once
// The reading under the pointer: of the lines drawn, the reading nearest to a point of the plot
// within a few pixels, and the text the window shows of it.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "trend/line_reduction.h"
#include "trend/trend_history.h"

namespace trend {

// Where the plot lies in the chart's view and what its edges stand for.
struct PlotFrame {
    QRectF area;     // in the view's pixels
    TimeSpan span;   // the times at its left and right edge
    double low = 0;  // the values at its bottom and top edge
    double high = 1;

    QPointF PixelOf(Milliseconds time, double value) const;
};

struct PointedReading {
    int slot = 0;
    Reading reading;
};

using DrawnSlots = std::array<bool, hart::kSlotCount + 1>;  // index 0 is unused

// The reading of the `drawn` slots whose point of the value `variable` picks lies nearest to `at`,
// at most `radius` pixels away; none where no reading is that near.
std::optional<PointedReading> ReadingNear(const TrendHistory& history, const DrawnSlots& drawn,
                                          Variable variable, const PlotFrame& frame, QPointF at,
                                          double radius);

// A line each: the slot and its address, the time in the workstation's formats, the quantity with
// its value and unit.
QString PointedText(const PointedReading& pointed, Variable variable);

}  // namespace trend
