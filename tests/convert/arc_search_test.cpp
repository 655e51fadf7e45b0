// The arc fitting's search skips most ends without their full test; the fixture holds it to
// the records of the search that tries every end from the last one down with the full test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "convert/contour_writer.h"
#include "convert/conversion.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/geom.h"
#include "preview/scale.h"
#include "workfile/stage_files.h"

using namespace convert;
namespace fs = std::filesystem;

namespace {

// The fit of one run: its records' fingerprint, their count, the largest deviation and the
// number of arcs, as one line of the fixture.
std::string fitLine(const std::vector<ContourPoint>& pts, const Settings& s) {
    wf::LineWriter out;
    ContourStats stats;
    const bool ok = fitArcs(pts, 0, static_cast<std::int32_t>(pts.size()) - 1, s, out, &stats);
    std::size_t arcs = out.content().rfind("2\r\n", 0) == 0;
    for (std::size_t at = 0; (at = out.content().find("\r\n2\r\n", at)) != std::string::npos; ++at) ++arcs;
    char line[128];
    std::snprintf(line, sizeof line, "%d %s %ld %a %zu", ok, wf::fingerprint(out.content()).c_str(), stats.records,
                  stats.maxDeviation, arcs);
    return line;
}

// Every contour of the letters as one run of curve samples, as "Start convert" has them.
std::vector<std::vector<ContourPoint>> letterRuns(const char* file, int shape, double& outputScale) {
    engine::Model m;
    engine::readGroundContours(m, std::filesystem::path(LK_TEST_DATA) / file, true);
    preview::scaleToHeight(m);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = 152.4;
    engine::buildShape(m, true);
    const double d = m.smallHeight;
    preview::scaleModel(m, 200 / d);
    outputScale = d / 200;
    readBack(m, intermediateForm(m));
    std::vector<std::vector<ContourPoint>> runs(1);
    for (std::size_t i = 0; i + 2 < m.elements.size(); ++i) {
        const engine::Element* e = &m.elements[i];
        if (e->kind == engine::kCodeEnd && runs.back().size() > 2) runs.emplace_back();
        if (e->kind != engine::kCodeQuadratic) continue;
        auto& run = runs.back();
        std::int32_t next = static_cast<std::int32_t>(run.size());
        run.resize(run.size() + 20);
        sampleQuadratic(run, next, 20, e[0].x, e[0].y, e[1].x, e[1].y, e[2].x, e[2].y);
        run.back() = ContourPoint{e[2].x, e[2].y, 13};
    }
    if (runs.back().size() <= 2) runs.pop_back();
    return runs;
}

}  // namespace

// The fitted records of every run, byte for byte (by fingerprint), as the search that tries
// every end with the full test wrote them: the curves of real letters bent into shapes, under
// the presets a user may choose, and runs made to trouble a search (exact circles, noise about
// the tolerance, jumps, repeated points, straight stretches, changing curvature, a coarse
// grid, far from the origin, at every scale). LK_WRITE_FIXTURE=1 writes the fixture anew.
TEST(ArcSearch, SameRecordsAsTheFullSearch) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const char* file : {"words.dat", "avatar.dat", "long.dat"})
        for (int shape : {0, 4, 17}) {
            Settings s;
            const auto letters = letterRuns(file, shape, s.outputScale);
            Settings coarse = s;  // "Presetting": shorter arcs allowed, a smaller radius limit
            coarse.minArcLength = 0.002 * 25.4;
            coarse.maxArcRadius = 50;
            coarse.fitTolerance = 0.2;
            for (std::size_t k = 0; k < letters.size(); k += 5) {
                const std::string name = std::string(file) + "/" + std::to_string(shape) + "/" + std::to_string(k);
                got.emplace_back(name, fitLine(letters[k], s));
                if (k % 15 == 0) got.emplace_back(name + "/coarse", fitLine(letters[k], coarse));
            }
        }
    std::mt19937_64 rng(5);
    const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1p-53; };
    for (int trial = 0; trial < 400; ++trial) {
        Settings s;
        s.outputScale = std::pow(10.0, u() * 3 - 1.5);
        if (trial % 3 == 0) s.fitTolerance = std::pow(10.0, u() * 3 - 2);
        if (trial % 5 == 0) s.maxArcRadius = std::pow(10.0, u() * 5);
        if (trial % 11 == 0) s.minArcRadius = 0;
        const int kind = trial % 8;
        const std::size_t n = 3 + rng() % (trial % 10 == 0 ? 800 : 150);
        const double scale = std::pow(10.0, u() * 6 - 2), origin = trial % 4 == 0 ? std::pow(10.0, u() * 9) : 0;
        double x = origin, y = -origin, dir = u() * 6.3, turn = (u() - 0.5) * 0.2;
        const double step = scale * (0.1 + u()), noise = s.fitTolerance / s.outputScale * 3;
        std::vector<ContourPoint> pts(n);
        for (ContourPoint& p : pts) {
            p = {x, y, 13};
            if (kind == 1) p.x += noise * (u() - 0.5), p.y += noise * (u() - 0.5);
            if (kind == 2 && rng() % 10 == 0) x += step * (u() - 0.5) * 40, y += step * (u() - 0.5) * 40;
            if (kind == 3 && rng() % 4 == 0) continue;
            if (kind == 4) turn = rng() % 30 == 0 ? (u() - 0.5) : 0;
            if (kind == 5) turn += (u() - 0.5) * 0.05;
            if (kind == 6) p.x = std::round(p.x / scale * 8) * scale / 8, p.y = std::round(p.y / scale * 8) * scale / 8;
            dir += turn;
            x += step * std::cos(dir);
            y += step * std::sin(dir);
        }
        got.emplace_back("trial/" + std::to_string(trial), fitLine(pts, s));
    }
    const fs::path fixture = fs::path(LK_FIXTURES) / "arc_search.txt";
    if (std::getenv("LK_WRITE_FIXTURE")) {
        std::ofstream out(fixture);
        for (const auto& [name, line] : got) out << name << ' ' << line << '\n';
    }
    std::ifstream in(fixture);
    std::string name, line;
    std::size_t i = 0, arcs = 0;
    for (; in >> name && std::getline(in, line); ++i) {
        ASSERT_LT(i, got.size());
        EXPECT_EQ(got[i].first, name);
        EXPECT_EQ(got[i].second, line.substr(1)) << name << " (ok, fingerprint, records, deviation, arcs)";
        arcs += std::stoul(line.substr(line.rfind(' ')));
    }
    EXPECT_EQ(i, got.size());
    EXPECT_GT(arcs, 3000u);
}
