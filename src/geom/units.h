// Units and angle factors, each value once. Several places were written against rounded
// forms of pi and of the degree factors, and what they write (work files, pictures) depends
// on the exact double they use; every such form has its own name here, and a place keeps the
// one it was written with. New code uses the exact ones.
#pragma once

namespace geom {

inline constexpr double kMmPerInch = 25.4;

// pi and its multiples as exact as a double holds them
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kFullTurn = 2.0 * kPi;            // a hair below kTwoPi
inline constexpr double kDegToRadExact = kPi / 180.0;     // a hair below kDegToRad

// degree factors to 15 significant digits: the shape build, the bar, the drawing, the hand-over
inline constexpr double kRadToDeg = 57.2957795130823;
inline constexpr double kDegToRad = 0.0174532925199433;
// the connection bar writes its arc angles with this shorter factor
inline constexpr double kRadToDeg13 = 57.29577951308;

// rounded forms of pi, by significant digits
inline constexpr double kPi15 = 3.14159265358979;       // shape build and bar geometry
inline constexpr double kPi10 = 3.141592654;            // side angles of the arc fitting
inline constexpr double kHalfPi14 = 1.5707963267949;    // bridge apertures in the drawing
inline constexpr double kHalfPi10 = 1.570796327;        // side angles of the arc fitting
inline constexpr double kTwoPi = 6.28318530717959;      // the full turn most callers compare against
inline constexpr double kTwoPi10 = 6.283185307;         // arcs of the drawing, sweeps of the fitting
inline constexpr double kTwoPi10Up = 6.283185308;       // corner directions of the fitting
inline constexpr double kTwoPi3 = 6.28;                 // the knot marks' circles

}  // namespace geom
