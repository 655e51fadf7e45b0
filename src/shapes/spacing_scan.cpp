#include "shapes/spacing_scan.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include "engine/contours.h"
#include "engine/outline_pieces.h"
#include "geom/segments.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {

constexpr int kArcChords = 16;            // arcs of the outline as this many chords
constexpr double kNoLeft = 1000000;       // smallest crossing x of a line without crossing
constexpr double kNoRight = -1000000;     // largest ...
constexpr double kNoGap = 100000;         // start of the gap search

// a letter's scan as read back: the first kScanRows rows of its kon file
struct Scan {
    std::vector<char> crosses;
    std::vector<double> left, right;
};

std::string scanFileName(int letter) { return "kon" + std::to_string(letter) + ".tmp"; }

Scan readScan(const std::filesystem::path& file) {
    Scan s;
    wf::LineReader in(file);
    for (int r = 0; r < kScanRows; ++r) {
        s.crosses.push_back(in.flag() ? 1 : 0);
        s.left.push_back(in.number());
        s.right.push_back(in.number());
    }
    return s;
}

Scan emptyScan() { return Scan{std::vector<char>(kScanRows, 0), std::vector<double>(kScanRows, kNoLeft),
                               std::vector<double>(kScanRows, kNoRight)}; }

bool blank(const engine::Model& m, int k) { return m.letterText[static_cast<std::size_t>(k)] == " "; }

// The distances that push each letter k + 1 against letter k (and, where letter k - 1 is no
// blank, against that one as it will lie), `scanOf` giving each letter's scan as it is first
// needed.
std::array<double, engine::kSignDistances> closeUp(const engine::Model& m, int letters,
                                                   const std::function<Scan(int)>& scanOf) {
    std::array<double, engine::kSignDistances> d{};
    std::vector<Scan> scans(static_cast<std::size_t>(letters) + 1);
    std::vector<char> read(scans.size(), 0);
    const auto scan = [&](int k) -> const Scan& {
        const auto i = static_cast<std::size_t>(k);
        if (!read[i]) {
            scans[i] = scanOf(k);
            read[i] = 1;
        }
        return scans[i];
    };
    for (int k = 1; k < letters; ++k) {
        if (blank(m, k) || blank(m, k + 1)) continue;
        const auto i = static_cast<std::size_t>(k);
        double g = kNoGap;
        const Scan& a = scan(k);
        const Scan& b = scan(k + 1);
        if (k == 1 || blank(m, k - 1)) {
            for (int r = 0; r < kScanRows; ++r)
                if (a.crosses[r] && b.crosses[r]) g = std::min(g, b.left[r] - a.right[r]);
        } else {
            // the letter before, where it will lie relative to letter k
            const Scan& before = scan(k - 1);
            const double shift = d[i - 1];
            for (int r = 0; r < kScanRows; ++r) {
                bool f1 = a.crosses[r];
                double r1 = a.right[r];
                const double r3 = before.right[r] - shift;
                if (before.crosses[r] && f1 && b.crosses[r] && r1 < r3) r1 = r3;
                if (before.crosses[r] && b.crosses[r] && !f1) {
                    r1 = r3;
                    f1 = true;
                }
                if (f1 && b.crosses[r]) g = std::min(g, b.left[r] - r1);
            }
        }
        if (g != kNoGap && g > 0) d[i] = -g - kOverlap;
    }
    return d;
}

}  // namespace

void examineLetter(const engine::Model& model, std::int32_t letter, std::int16_t& status, double x1,
                   double ymin, double x2, double ymax, double step, const std::filesystem::path& file,
                   std::int16_t& error) {
    status = 0;
    error = 0;
    // the letter's points follow each other; a piece never runs into the next letter
    const auto& el = model.elements;
    std::size_t from = el.size(), to = 0;
    for (std::size_t i = 0; i < el.size(); ++i)
        if (el[i].object == letter) {
            from = std::min(from, i);
            to = i + 1;
        }
    std::vector<geom::Segment> pieces;
    if (from < to)
        engine::forLetterSegments(
            model, from, to, letter, [&](const geom::Segment& s) { pieces.push_back(s); }, kArcChords);
    if (pieces.empty()) {
        status = 2;
        return;
    }

    std::vector<double> ys;
    for (double y = ymin; y <= ymax && ys.size() <= static_cast<std::size_t>(kScanRows); y += step) ys.push_back(y);
    std::vector<char> crosses(ys.size(), 0);
    std::vector<double> left(ys.size(), kNoLeft), right(ys.size(), kNoRight);
    const bool ascending = step > 0;
    for (const auto& s : pieces) {
        // the intersection rejects every line outside the piece's y range at once; skip those
        std::size_t r0 = 0, r1 = ys.size();
        if (ascending) {
            r0 = static_cast<std::size_t>(std::lower_bound(ys.begin(), ys.end(), std::min(s.a.y, s.b.y)) - ys.begin());
            r1 = static_cast<std::size_t>(std::upper_bound(ys.begin(), ys.end(), std::max(s.a.y, s.b.y)) - ys.begin());
        }
        for (std::size_t r = r0; r < r1; ++r) {
            const geom::Crossings c = geom::crossing({{x1, ys[r]}, {x2, ys[r]}}, s);
            const auto take = [&](double x) {
                crosses[r] = 1;
                left[r] = std::min(left[r], x);
                right[r] = std::max(right[r], x);
            };
            if (c.onFirst) take(c.first.x);
            if (c.onSecond) take(c.second.x);
        }
    }

    wf::LineWriter out;
    for (std::size_t r = 0; r < ys.size(); ++r) out.number(crosses[r] ? 1 : 0).number(left[r]).number(right[r]);
    out.number(0).number(0).number(0);
    try {
        out.commit(file, wf::Sync::Scratch);  // read back by this run only: no flush to the disk
    } catch (const fault::FileFault&) {
        error = 1;
    }
}

std::filesystem::path SpacingScan::file(int letter) const { return folder_ / scanFileName(letter); }

SpacingScan::Result SpacingScan::closeGaps(const engine::Model& m, const Progress& beforeLetter) const {
    const int letters = std::clamp<int>(m.letterCount, 0, static_cast<int>(engine::kMaxLetters));
    struct RemoveFiles {  // the scan files of the letters, however the scan ends
        const SpacingScan& scan;
        const engine::Model& m;
        int letters;
        ~RemoveFiles() {
            for (int k = 1; k <= letters; ++k) {
                if (blank(m, k)) continue;
                std::error_code ec;
                std::filesystem::remove(scan.file(k), ec);
            }
        }
    } cleanup{*this, m, letters};

    // the plain extents: the engine's box of this mode reads the model and leaves it alone
    const engine::Box box = engine::contourExtents(m);
    const double step = (box.ymax - box.ymin) / kScanRows;
    std::vector<std::int16_t> status(static_cast<std::size_t>(letters) + 1, 0);
    for (int k = 1; k <= letters; ++k) {
        if (blank(m, k)) continue;
        if (beforeLetter) beforeLetter(k, letters);
        std::int16_t error = 0;
        examineLetter(m, k, status[static_cast<std::size_t>(k)], box.xmin - 1, box.ymin, box.xmax + 1, box.ymax, step,
                      file(k), error);
        if (error == 1) return Result{false, {}};
    }
    return Result{true, closeUp(m, letters, [&](int k) {
                      const auto i = static_cast<std::size_t>(k);
                      return status[i] == 2 ? emptyScan() : readScan(file(k));
                  })};
}

}  // namespace shapes
