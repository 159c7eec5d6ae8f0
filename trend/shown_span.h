#pragma once
// Which span of the time axis the chart shows: everything the trend holds (at first, after a
// double click, and when a new trend starts), or the span the operator zoomed and panned to, which
// moves along with the newest reading while that reading is in view.

#include <optional>

#include "trend/line_reduction.h"
#include "trend/trend_history.h"

namespace trend {

class ShownSpan {
public:
    static constexpr Milliseconds kShortestWhole = 60 * 1000;  // "everything" of a young trend
    static constexpr Milliseconds kShortestZoom = 1000;
    static constexpr Milliseconds kLongestZoom = kKeptFor + 24LL * 3600 * 1000;

    // The span shown, given the oldest and the newest reading (none in an empty trend) and `now`.
    TimeSpan Span(std::optional<Milliseconds> oldest, std::optional<Milliseconds> newest,
                  Milliseconds now) const;
    bool ShowsEverything() const { return whole_; }

    void ShowEverything() { whole_ = true; }
    // Zooms the `shown` span by `factor` (below 1 in, above 1 out), keeping `around` in place.
    void Zoom(TimeSpan shown, double factor, Milliseconds around);
    // Moves the `shown` span by `by` (positive: later).
    void Pan(TimeSpan shown, Milliseconds by);
    // The newest reading moved on from `previous` to `newest`: a span that had `previous` in view
    // moves along so that it keeps the newest reading at its end.
    void Follow(Milliseconds previous, Milliseconds newest);

private:
    bool whole_ = true;
    TimeSpan span_;
};

}  // namespace trend
