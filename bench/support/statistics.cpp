#include "bench/support/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace bench {
namespace {

double Rank(const std::vector<double>& sorted, double fraction) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

Summary Summarise(std::vector<double> values) {
    Summary summary;
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    summary.count = values.size();
    summary.median = Rank(values, 0.5);
    summary.p95 = Rank(values, 0.95);
    summary.p99 = Rank(values, 0.99);
    summary.max = values.back();
    summary.mean =
        std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    return summary;
}

std::string SummaryText(const Summary& summary, const char* unit, int decimals) {
    char text[256];
    std::snprintf(text, sizeof text, "median %.*f%s  p95 %.*f%s  p99 %.*f%s  max %.*f%s  (n=%zu)",
                  decimals, summary.median, unit, decimals, summary.p95, unit, decimals,
                  summary.p99, unit, decimals, summary.max, unit, summary.count);
    return text;
}

}  // namespace bench
