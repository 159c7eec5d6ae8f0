#include "trend/line_reduction.h"

#include <algorithm>
#include <cmath>

namespace trend {
namespace {

// The smallest and the largest reading of one column.
struct Column {
    QPointF lowest;
    QPointF highest;

    void Take(const QPointF& point) {
        if (point.y() < lowest.y()) {
            lowest = point;
        }
        if (point.y() > highest.y()) {
            highest = point;
        }
    }
    // Both in time order; one where they are the same reading.
    void AppendTo(QList<QPointF>& run) const {
        const bool lowestFirst = lowest.x() <= highest.x();
        run.append(lowestFirst ? lowest : highest);
        if (lowest != highest) {
            run.append(lowestFirst ? highest : lowest);
        }
    }
};

class Reducer {
public:
    Reducer(TimeSpan span, int columns)
        : span_(span),
          scale_(columns / static_cast<double>(std::max<Milliseconds>(span.Length(), 1))) {}

    void Break() { broken_ = true; }
    void Take(Milliseconds time, float value) {
        const QPointF point(static_cast<double>(time), value);
        const std::int64_t index = ColumnOf(time);
        if (!open_) {
            open_ = true;
        } else if (broken_ && index - index_ >= 2) {
            column_.AppendTo(run_);
            EndRun();
        } else if (index != index_) {
            column_.AppendTo(run_);
        } else {
            column_.Take(point);
            broken_ = false;
            return;
        }
        broken_ = false;
        index_ = index;
        column_ = {point, point};
    }
    std::vector<QList<QPointF>> Finish() {
        if (open_) {
            column_.AppendTo(run_);
            EndRun();
        }
        return std::move(pieces_);
    }

private:
    // The readings before the span all lie in column -1: only the last of them is taken.
    std::int64_t ColumnOf(Milliseconds time) const {
        const Milliseconds after = time - span_.from;
        return after < 0 ? -1 : static_cast<std::int64_t>(static_cast<double>(after) * scale_);
    }
    void EndRun() {
        pieces_.push_back(std::move(run_));
        run_ = {};
    }

    TimeSpan span_;
    double scale_;
    bool open_ = false;
    bool broken_ = false;
    std::int64_t index_ = 0;
    Column column_;
    QList<QPointF> run_;
    std::vector<QList<QPointF>> pieces_;
};

}  // namespace

ReducedLine ReduceLine(const SlotReadings& readings, Variable variable, TimeSpan span, int columns,
                       int maxRuns) {
    std::size_t first = readings.LowerBound(span.from);
    std::size_t last = readings.LowerBound(span.to + 1);
    first -= first > 0 ? 1 : 0;
    last += last < readings.Size() ? 1 : 0;
    Reducer reducer(span, std::max(columns, 1));
    readings.ForEachValue(
        first, last, variable,
        [&reducer](std::size_t, Milliseconds time, float value) { reducer.Take(time, value); },
        [&reducer] { reducer.Break(); });
    std::vector<QList<QPointF>> pieces = reducer.Finish();
    ReducedLine line;
    const auto runs = std::count_if(pieces.begin(), pieces.end(),
                                    [](const QList<QPointF>& piece) { return piece.size() > 1; });
    for (QList<QPointF>& piece : pieces) {
        if (piece.size() == 1 || runs > maxRuns) {
            line.dots.append(piece);
        } else {
            line.runs.push_back(std::move(piece));
        }
    }
    return line;
}

}  // namespace trend
