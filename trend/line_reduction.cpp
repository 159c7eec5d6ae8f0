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
    std::int64_t ColumnOf(Milliseconds time) const {
        return static_cast<std::int64_t>(
            std::floor(static_cast<double>(time - span_.from) * scale_));
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

ReducedLine ReduceLine(const std::deque<Sample>& entries, Variable variable, TimeSpan span,
                       int columns, int maxRuns) {
    const auto byTime = [](const Sample& sample, Milliseconds time) { return sample.time < time; };
    auto first = std::lower_bound(entries.begin(), entries.end(), span.from, byTime);
    auto last = std::lower_bound(first, entries.end(), span.to + 1, byTime);
    if (first != entries.begin()) {
        --first;
    }
    if (last != entries.end()) {
        ++last;
    }
    Reducer reducer(span, std::max(columns, 1));
    for (auto entry = first; entry != last; ++entry) {
        if (entry->IsBreak()) {
            reducer.Break();
            continue;
        }
        const std::optional<float> value = ValueOf(*entry, variable);
        if (value && std::isfinite(*value)) {
            reducer.Take(entry->time, *value);
        }
    }
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
