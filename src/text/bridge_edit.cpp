#include "text/bridge_edit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "workfile/workfile_io.h"

namespace text {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = 3.14159265358979323846;
constexpr int kCoarseSteps = 180;  // directions tried across the stroke: every degree of a half turn
constexpr int kFineSteps = 20;     // then every tenth of a degree around the best of them
constexpr double kLeastFlatness = 1e-4;  // mm: never flatten finer (a strip width of 0 gives 0)

struct Segment {
    Pt a, b;
};

std::vector<Segment> segmentsOf(const std::vector<Contour>& contours, double flatness) {
    std::vector<Segment> out;
    for (const Contour& c : contours) {
        const std::vector<Pt> pts = flatten(c, std::max(flatness, kLeastFlatness));
        for (std::size_t i = 0; i < pts.size(); ++i) out.push_back({pts[i], pts[(i + 1) % pts.size()]});
    }
    return out;
}

// The stretches of ink (non-zero fill) along the line o + t d, in order of t.
struct Run {
    double start, end;
};
std::vector<Run> inkRuns(const std::vector<Segment>& segments, Pt o, Pt d) {
    std::vector<std::pair<double, int>> crossings;
    for (const Segment& s : segments) {
        const Pt ab = s.b - s.a;
        const double den = cross(d, ab);
        if (den == 0) continue;
        const Pt ao = s.a - o;
        const double u = cross(ao, d) / den;
        if (u < 0 || u >= 1) continue;
        crossings.emplace_back(cross(ao, ab) / den, den > 0 ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
    std::vector<Run> runs;
    int winding = 0;
    for (const auto& [t, turn] : crossings) {
        const bool wasInk = winding != 0;
        winding += turn;
        if (!wasInk && winding != 0) runs.push_back({t, kInf});
        else if (wasInk && winding == 0) runs.back().end = t;
    }
    if (!runs.empty() && runs.back().end == kInf) runs.pop_back();  // an open polygon: not ink
    return runs;
}

// The run that holds t = 0, or nothing.
const Run* runAtOrigin(const std::vector<Run>& runs) {
    for (const Run& r : runs)
        if (r.start <= 0 && r.end >= 0) return &r;
    return nullptr;
}

bool onInk(const std::vector<Segment>& segments, Pt p) { return runAtOrigin(inkRuns(segments, p, {1, 0})) != nullptr; }

Pt direction(double angle) { return {std::cos(angle), std::sin(angle)}; }

// The direction of the shortest way across the ink at p, searched coarse and then fine.
Pt shortestAcross(const std::vector<Segment>& segments, Pt p) {
    double bestAngle = 0, bestLength = kInf;
    auto tryAngle = [&](double angle) {
        const std::vector<Run> runs = inkRuns(segments, p, direction(angle));
        if (const Run* r = runAtOrigin(runs); r && r->end - r->start < bestLength) {
            bestLength = r->end - r->start;
            bestAngle = angle;
        }
    };
    const double coarse = kPi / kCoarseSteps;
    for (int i = 0; i < kCoarseSteps; ++i) tryAngle(i * coarse);
    const double around = bestAngle;
    for (int i = -kFineSteps / 2; i <= kFineSteps / 2; ++i) tryAngle(around + i * coarse / (kFineSteps / 2));
    return direction(bestAngle);
}

}  // namespace

Pt stripMiddle(const Bridge& b, double stripWidth) {
    const std::vector<Pt> c = stripCorners(b, stripWidth);
    return (c[0] + c[1] + c[2] + c[3]) * 0.25;
}

std::optional<BridgeRef> bridgeAt(const Lettering& l, Pt p, double tolerance) {
    std::optional<BridgeRef> best;
    double bestDistance = kInf;
    for (std::size_t i = 0; i < l.letters.size(); ++i) {
        const Letter& k = l.letters[i];
        const Pt q{p.x - k.x, p.y};
        for (std::size_t j = 0; j < k.bridges.size(); ++j) {
            const std::vector<Pt> c = stripCorners(k.bridges[j], l.stripWidth);
            const Pt along = c[1] - c[0], across = c[3] - c[0];
            const double len = length(along), width = length(across);
            const double a = len > 0 ? dot(q - c[0], along) / len : 0;
            const double w = width > 0 ? dot(q - c[0], across) / width : 0;
            if (a < -tolerance || a > len + tolerance || w < -tolerance || w > width + tolerance) continue;
            if (const double d = length(q - stripMiddle(k.bridges[j], l.stripWidth)); d < bestDistance) {
                bestDistance = d;
                best = BridgeRef{i, j};
            }
        }
    }
    return best;
}

std::optional<std::size_t> letterAt(const Lettering& l, Pt p) {
    const double flatness = bridgeRules(l).flatness;
    for (std::size_t i = 0; i < l.letters.size(); ++i) {
        const Letter& k = l.letters[i];
        if (!k.contours.empty() && onInk(segmentsOf(k.contours, flatness), {p.x - k.x, p.y})) return i;
    }
    return std::nullopt;
}

std::optional<Bridge> bridgeAcross(const std::vector<Contour>& contours, Pt p, const BridgeRules& rules) {
    const std::vector<Segment> segments = segmentsOf(contours, rules.flatness);
    if (!onInk(segments, p)) return std::nullopt;
    const Pt d = shortestAcross(segments, p);
    const Pt n{-d.y, d.x};
    const double half = rules.stripWidth / 2;
    // the stroke as the whole strip crosses it (its two edges and its middle line), and the
    // free sheet beyond it on either side
    double start = kInf, end = -kInf, before = -kInf, after = kInf;
    const std::vector<Run> middle = inkRuns(segments, p, d);
    const Run* centre = runAtOrigin(middle);
    if (!centre) return std::nullopt;
    const Run across = *centre;
    for (double s : {-half, 0.0, half}) {
        const std::vector<Run> runs = s == 0 ? middle : inkRuns(segments, p + n * s, d);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (runs[i].end < across.start || runs[i].start > across.end) continue;
            start = std::min(start, runs[i].start);
            end = std::max(end, runs[i].end);
            if (i > 0) before = std::max(before, runs[i - 1].end);
            if (i + 1 < runs.size()) after = std::min(after, runs[i + 1].start);
        }
    }
    // each end reaches as far as a placed bridge does where the sheet beyond is free
    const double most = std::max(rules.farPast, rules.past);
    const double pastStart = std::clamp(start - before - rules.past, rules.past, most);
    const double pastEnd = std::clamp(after - end - rules.past, rules.past, most);
    const Pt base = p - n * half;
    return Bridge{1, base + d * (start - pastStart), base + d * (end + pastEnd)};
}

void BridgeEdits::assign(std::vector<LetterEdit> edits) {
    std::stable_sort(edits.begin(), edits.end(),
                     [](const LetterEdit& a, const LetterEdit& b) { return a.letter < b.letter; });
    letters_.clear();
    for (LetterEdit& e : edits) {
        if (!letters_.empty() && letters_.back().letter == e.letter) letters_.back() = std::move(e);
        else letters_.push_back(std::move(e));
    }
}

void BridgeEdits::apply(Lettering& l) const {
    if (!l.bridges) return;
    for (const LetterEdit& e : letters_) {
        if (e.letter >= l.letters.size() || l.letters[e.letter].character.bytes != e.character) continue;
        l.letters[e.letter].bridges = e.bridges;
        recheckHeld(l, e.letter);
    }
}

LetterEdit& BridgeEdits::record(const Lettering& l, std::size_t letter) {
    auto it = std::lower_bound(letters_.begin(), letters_.end(), letter,
                               [](const LetterEdit& e, std::size_t i) { return e.letter < i; });
    if (it == letters_.end() || it->letter != letter)
        it = letters_.insert(it, LetterEdit{letter, l.letters[letter].character.bytes, {}});
    it->character = l.letters[letter].character.bytes;
    it->bridges = l.letters[letter].bridges;
    return *it;
}

bool BridgeEdits::move(Lettering& l, BridgeRef ref, Pt to) {
    if (!l.bridges || ref.letter >= l.letters.size() || ref.index >= l.letters[ref.letter].bridges.size())
        return false;
    Letter& k = l.letters[ref.letter];
    Bridge& b = k.bridges[ref.index];
    const Pt q{to.x - k.x, to.y};
    if (std::optional<Bridge> across = bridgeAcross(k.contours, q, bridgeRules(l))) {
        b = *across;
    } else {
        const Pt by = q - stripMiddle(b, l.stripWidth);
        b.p1 = b.p1 + by;
        b.p2 = b.p2 + by;
    }
    record(l, ref.letter);
    recheckHeld(l, ref.letter);
    return true;
}

bool BridgeEdits::remove(Lettering& l, BridgeRef ref) {
    if (!l.bridges || ref.letter >= l.letters.size() || ref.index >= l.letters[ref.letter].bridges.size())
        return false;
    std::vector<Bridge>& bridges = l.letters[ref.letter].bridges;
    bridges.erase(bridges.begin() + static_cast<std::ptrdiff_t>(ref.index));
    record(l, ref.letter);
    recheckHeld(l, ref.letter);
    return true;
}

std::optional<BridgeRef> BridgeEdits::add(Lettering& l, Pt at) {
    if (!l.bridges || l.bridgeCount() >= kMaxBridges) return std::nullopt;
    const std::optional<std::size_t> i = letterAt(l, at);
    if (!i) return std::nullopt;
    Letter& k = l.letters[*i];
    const std::optional<Bridge> b = bridgeAcross(k.contours, {at.x - k.x, at.y}, bridgeRules(l));
    if (!b) return std::nullopt;
    k.bridges.push_back(*b);
    record(l, *i);
    recheckHeld(l, *i);
    return BridgeRef{*i, k.bridges.size() - 1};
}

std::size_t BridgeEdits::followText(const std::string& before, const std::string& after) {
    const std::vector<std::string> was = wf::characters(before), now = wf::characters(after);
    std::size_t head = 0;
    while (head < was.size() && head < now.size() && was[head] == now[head]) ++head;
    std::size_t tail = 0;
    while (tail < was.size() - head && tail < now.size() - head &&
           was[was.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    std::size_t dropped = 0;
    std::vector<LetterEdit> kept;
    for (LetterEdit& e : letters_) {
        if (e.letter < head) {
            kept.push_back(std::move(e));
        } else if (e.letter < was.size() && e.letter >= was.size() - tail) {
            e.letter = e.letter - was.size() + now.size();
            kept.push_back(std::move(e));
        } else {
            ++dropped;
        }
    }
    letters_ = std::move(kept);
    return dropped;
}

}  // namespace text
