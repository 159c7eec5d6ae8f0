#pragma once
// Order statistics of a series of measurements.

#include <string>
#include <vector>

namespace bench {

struct Summary {
    std::size_t count = 0;
    double median = 0;
    double p95 = 0;
    double p99 = 0;
    double max = 0;
    double mean = 0;
};

// Nearest-rank percentiles; all zero for an empty series.
Summary Summarise(std::vector<double> values);

// "median 0.123  p95 0.456  p99 0.789  max 1.234  (n=1000)" with `unit` after each figure.
std::string SummaryText(const Summary& summary, const char* unit, int decimals = 3);

}  // namespace bench
