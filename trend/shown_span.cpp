#include "trend/shown_span.h"

#include <algorithm>
#include <cmath>

namespace trend {

TimeSpan ShownSpan::Span(std::optional<Milliseconds> oldest, std::optional<Milliseconds> newest,
                         Milliseconds now) const {
    if (!whole_) {
        return span_;
    }
    if (!oldest || !newest) {
        return {now - kShortestWhole, now};
    }
    return {*oldest, std::max(*newest, *oldest + kShortestWhole)};
}

void ShownSpan::Zoom(TimeSpan shown, double factor, Milliseconds around) {
    const double length =
        std::clamp(static_cast<double>(shown.Length()) * factor, static_cast<double>(kShortestZoom),
                   static_cast<double>(kLongestZoom));
    const double share = static_cast<double>(around - shown.from) /
                         static_cast<double>(std::max<Milliseconds>(shown.Length(), 1));
    const auto from = around - static_cast<Milliseconds>(std::llround(length * share));
    span_ = {from, from + static_cast<Milliseconds>(std::llround(length))};
    whole_ = false;
}

void ShownSpan::Pan(TimeSpan shown, Milliseconds by) {
    span_ = {shown.from + by, shown.to + by};
    whole_ = false;
}

void ShownSpan::Follow(Milliseconds previous, Milliseconds newest) {
    if (!whole_ && span_.Contains(previous) && newest > span_.to) {
        const Milliseconds by = newest - span_.to;
        span_ = {span_.from + by, span_.to + by};
    }
}

}  // namespace trend
