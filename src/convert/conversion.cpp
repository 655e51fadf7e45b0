#include "convert/conversion.h"

#include "shell/workfile_io.h"
#include "shell/workfiles.h"

namespace convert {

namespace {
constexpr double kDegToRad = 0.0174532925199433;

using engine::Element;

// entries a record needs from its start on; a record that would run past the list's end is
// left out rather than written with points that are not there
bool fits(const engine::Model& m, std::size_t i, std::size_t entries) { return i + entries <= m.elements.size(); }

void point(wf::LineWriter& w, const Element& e) { w.number(e.x).number(e.y).number(e.object); }

}  // namespace

std::string intermediateForm(const engine::Model& m) {
    const auto& el = m.elements;
    wf::LineWriter w;
    for (std::size_t i = 0; i < el.size();) {
        const std::int16_t kind = el[i].kind;
        if (kind == engine::kCodeLine && i + 1 < el.size() && el[i + 1].kind == engine::kCodeArcMiddle) {
            if (fits(m, i, 4)) {
                w.text("10");
                point(w, el[i]);
                point(w, el[i + 1]);
                point(w, el[i + 3]);
            }
            i += 4;
        } else if (kind == engine::kCodeLine) {
            if (fits(m, i, 2)) {
                w.text("1");
                point(w, el[i]);
                point(w, el[i + 1]);
            }
            i += 2;
        } else if (kind == engine::kCodeQuadratic) {
            if (fits(m, i, 3)) {
                w.text("3");
                point(w, el[i]);
                point(w, el[i + 1]);
                point(w, el[i + 2]);
            }
            i += 3;
        } else if (kind == engine::kCodeEnd) {
            if (i > 0 && (el[i - 1].x != el[i].x || el[i - 1].y != el[i].y)) {
                w.text("1");
                point(w, el[i - 1]);
                point(w, el[i]);
            }
            w.text("6");
            i += 2;
        } else {
            i += 1;
        }
    }
    return w.content();
}

void readBack(engine::Model& m, const std::string& intermediate) {
    // read as it stands: a list of its lines would hold every number twice over
    auto in = wf::LineReader::over(intermediate);
    m.elements.clear();
    const auto points = [&](std::initializer_list<std::int16_t> kinds) {
        for (std::int16_t kind : kinds) {
            Element e;
            e.x = in.number();
            e.y = in.number();
            e.object = in.int32();
            e.kind = kind;
            m.elements.push(e);
        }
    };
    try {
        while (!in.atEnd()) {
            const std::string& key = in.text();
            const std::int16_t k = wf::toInt16(wf::parseNumber(key));
            if (k == 10) {
                points({engine::kCodeArcMiddle, 0, 0});
            } else if (k == 1) {
                points({engine::kCodeLine, 0});
            } else if (k == 3) {
                points({engine::kCodeQuadratic, 0, 0});
            } else if (k == 6) {
                // no point of its own; it counts to the letter before it, so an empty
                // contour announces no new object
                Element e;
                e.kind = engine::kCodeEnd;
                if (!m.elements.empty()) e.object = m.elements[m.elements.size() - 1].object;
                m.elements.push(e);
            }
        }
    } catch (...) {
        m.elements.clear();
        throw;
    }
}

std::string contourFile(const engine::Model& m, const Settings& s, std::int32_t& currentObject) {
    wf::LineWriter w;
    std::int32_t first = 0;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(m.elements.size()); ++i) {
        if (m.elements[i].kind != engine::kCodeEnd) continue;
        w.text("a");
        if (!writeContour(m, first, i - 1, currentObject, s, w))
            throw ContourFault("the arcs of a contour could not be fitted");
        w.text("e");
        first = i + 1;
    }
    w.text("s");
    return w.content();
}

std::string barFile(const engine::Model& m) {
    wf::LineWriter w;
    std::int16_t arcs = 0, lines = 0;
    for (const engine::BarArc& a : m.barArcs) arcs += a.type >= 3;
    for (const engine::BarLine& l : m.barLines) lines += l.type >= 3;
    w.number(arcs).number(lines);
    for (const engine::BarArc& a : m.barArcs)
        if (a.type >= 3)
            w.number(a.cx).number(a.cy).number(a.radius).number(a.startDeg * kDegToRad).number(a.endDeg * kDegToRad).number(a.pairIndex);
    for (const engine::BarLine& l : m.barLines)
        if (l.type >= 3) w.number(l.x1).number(l.y1).number(l.x2).number(l.y2).number(l.pairIndex);
    return w.content();
}

void writeConversionFiles(engine::Model& m, bool connectionOn, const std::filesystem::path& appFolder,
                          const Settings& s, std::int32_t& currentObject, wf::FileSet* set) {
    readBack(m, intermediateForm(m));
    const std::string contours = contourFile(m, s, currentObject);
    const std::string bar = connectionOn ? barFile(m) : std::string();
    wf::FileSet own;
    wf::FileSet& files = set ? *set : own;
    files.replace(shell::workFile(appFolder, "workrl.dat"), contours);
    const auto barPath = shell::workFile(appFolder, "workm.dat");
    if (connectionOn)
        files.replace(barPath, bar);
    else
        files.remove(barPath);
    if (!set) own.commit();
}

}  // namespace convert
