#include "LineFit.h"

#include <algorithm>
#include <cmath>

namespace {

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2)
        return *middle;
    const double upper = *middle;
    return (*std::max_element(values.begin(), middle) + upper) / 2.0;
}

}  // namespace

Line medianLine(std::span<const LagPoint> points) {
    std::vector<double> slopes;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const double dt = points[j].time - points[i].time;
            if (std::abs(dt) > 1e-9)
                slopes.push_back((points[j].lag - points[i].lag) / dt);
        }
    Line line;
    line.slope = median(slopes);
    std::vector<double> intercepts;
    for (const LagPoint& p : points)
        intercepts.push_back(p.lag - line.slope * p.time);
    line.offset = median(intercepts);
    return line;
}

Line leastSquares(std::span<const LagPoint> points) {
    double w = 0, wt = 0, wl = 0;
    for (const LagPoint& p : points) {
        w += p.weight;
        wt += p.weight * p.time;
        wl += p.weight * p.lag;
    }
    if (w <= 0)
        return {};
    const double meanTime = wt / w, meanLag = wl / w;
    double stt = 0, stl = 0;
    for (const LagPoint& p : points) {
        stt += p.weight * (p.time - meanTime) * (p.time - meanTime);
        stl += p.weight * (p.time - meanTime) * (p.lag - meanLag);
    }
    Line line;
    line.slope = stt > 1e-12 * w ? stl / stt : 0.0;
    line.offset = meanLag - line.slope * meanTime;
    return line;
}

std::vector<LagPoint> near(std::span<const LagPoint> points, const Line& line, double tolerance) {
    std::vector<LagPoint> kept;
    for (const LagPoint& p : points)
        if (std::abs(p.lag - line.at(p.time)) <= tolerance)
            kept.push_back(p);
    return kept;
}
