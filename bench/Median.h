#pragma once

#include <algorithm>
#include <vector>

// The middle of the measured values, for figures that one slow run must not sway.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
