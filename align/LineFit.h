#pragma once

#include <span>
#include <vector>

// One measured lag: at second `time` of file 1, file 2 is `lag` seconds later.
struct LagPoint {
    double time = 0.0;
    double lag = 0.0;
    double weight = 1.0;
};

// lag = offset + slope * time
struct Line {
    double offset = 0.0;
    double slope = 0.0;
    double at(double time) const { return offset + slope * time; }
};

// A line through the points that outliers do not move: the median of the pairwise slopes and
// of the intercepts (Theil and Sen), good while fewer than a third of the points are wrong.
Line medianLine(std::span<const LagPoint> points);

// The weighted least-squares line; a single point, or points at one time, give slope 0.
Line leastSquares(std::span<const LagPoint> points);

// The points within `tolerance` of the line.
std::vector<LagPoint> near(std::span<const LagPoint> points, const Line& line, double tolerance);
