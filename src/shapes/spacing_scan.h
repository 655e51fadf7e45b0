// "Remove empty space" as a matter of the letters alone: every letter is scanned along
// horizontal lines into a scan file of its own, then each letter is pushed against its left
// neighbour (and the one before that) until they overlap by kOverlap at their closest scan line.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "engine/model.h"

namespace shapes {

inline constexpr double kOverlap = 0.05;  // mm: how far neighbours overlap once closed up
inline constexpr int kScanRows = 300;     // the box height is cut into this many steps

// The scan file of one letter: for each scan line at y = ymin, ymin + step, ... (while
// y <= ymax, at most kScanRows + 1 lines) where the letter's outline crosses the segment
// (x1, y)-(x2, y): a flag, the smallest and the largest crossing x; then a row of zeros.
// status = 2 when the letter has no outline segments (no file is written then), 0 otherwise;
// error = 1 when the file cannot be written.
void examineLetter(const engine::Model& model, std::int32_t letter, std::int16_t& status, double x1,
                   double ymin, double x2, double ymax, double step, const std::filesystem::path& file,
                   std::int16_t& error);

class SpacingScan {
public:
    // the scan files (kon<letter>.tmp) go to `folder`
    explicit SpacingScan(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // told before each letter is examined: its number and the number of letters
    using Progress = std::function<void(int letter, int letters)>;

    struct Result {
        bool written = true;  // false: a scan file could not be written, nothing was closed up
        std::array<double, engine::kSignDistances> distances{};  // signDistanceB, mm
    };

    // The distances that close up the letters of `m` as they lie now. A scan file that cannot
    // be read back raises its fault. The scan files are gone when it returns, however it ends.
    Result closeGaps(const engine::Model& m, const Progress& beforeLetter) const;

private:
    std::filesystem::path file(int letter) const;

    std::filesystem::path folder_;
};

}  // namespace shapes
