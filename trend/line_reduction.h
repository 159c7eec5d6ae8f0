#pragma once
// A slot's trend reduced to what a chart can show of it: for each pixel column of the visible
// span, the smallest and the largest value in the order they came, so that the work of drawing
// depends on the chart's width and not on how many readings lie behind it.

#include <QList>
#include <QPointF>
#include <vector>

#include "trend/slot_readings.h"

namespace trend {

// A span of the time axis, `from` before `to`.
struct TimeSpan {
    Milliseconds from = 0;
    Milliseconds to = 0;

    Milliseconds Length() const { return to - from; }
    bool Contains(Milliseconds time) const { return from <= time && time <= to; }
};

// Points (x: Milliseconds, y: value) of a reduced line.
struct ReducedLine {
    std::vector<QList<QPointF>> runs;  // unbroken pieces of two points or more
    QList<QPointF> dots;               // readings that stand alone between breaks
};

// Reduces `readings` over `span` for a chart `columns` pixels wide. The line breaks where a break
// leaves at least one column without readings; a break within a column or between neighbouring
// columns cannot be seen at this width. The reading on each side of the span is kept, so that
// the line runs to the edges. Readings without a finite value for `variable` are left out. When
// the line breaks into more than `maxRuns` pieces, every point is shown as a dot instead.
ReducedLine ReduceLine(const SlotReadings& readings, Variable variable, TimeSpan span, int columns,
                       int maxRuns);

}  // namespace trend
