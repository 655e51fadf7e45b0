// The presets of the cutting limits, kept in th.dat: the shortest line or arc, the largest and
// the smallest arc radius, and how closely fitted arcs follow a curve. Millimetres. The bar
// and the conversion work to them; the shapes window reads, shows and writes them.
#pragma once

namespace engine {

inline constexpr double kMinArcLengthLow = 0.0508;   // 0.002 inch
inline constexpr double kMinArcLengthHigh = 0.1016;  // 0.004 inch, the default
inline constexpr double kMaxArcRadiusLow = 2000, kMaxArcRadiusHigh = 10000;
inline constexpr double kDefaultMaxArcRadius = 8890;  // 350 inches
// the two values nobody chooses: every reader and the presetting dialog set them again
inline constexpr double kFixedMinArcRadius = 0.1, kFixedFitTolerance = 0.05;

struct Presets {
    double minArcLength = kMinArcLengthHigh;
    double maxArcRadius = kDefaultMaxArcRadius;
    double minArcRadius = kFixedMinArcRadius;
    double fitTolerance = kFixedFitTolerance;
};

}  // namespace engine
