// Kestrova — identity photo maker.
#pragma once

#include <algorithm>
#include <vector>

/// The times a benchmark took over its runs: their median, fastest and slowest.
struct Spread
{
    std::vector<double> values;

    void add(double value) { values.push_back(value); }
    [[nodiscard]] double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    [[nodiscard]] double min() const { return *std::min_element(values.begin(), values.end()); }
    [[nodiscard]] double max() const { return *std::max_element(values.begin(), values.end()); }
};
