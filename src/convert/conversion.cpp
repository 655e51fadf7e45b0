#include "convert/conversion.h"

#include "engine/walk.h"
#include "geom/units.h"
#include "workfile/workfile_io.h"

namespace convert {

namespace {
using geom::kDegToRad;

using engine::Element;

void point(wf::LineWriter& w, const Element& e) { w.number(e.x).number(e.y).number(e.object); }

}  // namespace

// A record that would run past the list's end is left out rather than written with points
// that are not there.
std::string intermediateForm(const engine::Model& m) {
    const auto& el = m.elements;
    wf::LineWriter w;
    engine::walkRecords(m, [&](const engine::Record& r) {
        if (!r.complete) return;
        const std::size_t i = r.at;
        switch (r.kind) {
            case engine::Record::Kind::Arc:
                w.text("10");
                point(w, el[i]);
                point(w, el[i + 1]);
                point(w, el[i + 3]);
                break;
            case engine::Record::Kind::Line:
                w.text("1");
                point(w, el[i]);
                point(w, el[i + 1]);
                break;
            case engine::Record::Kind::Quadratic:
                w.text("3");
                point(w, el[i]);
                point(w, el[i + 1]);
                point(w, el[i + 2]);
                break;
            case engine::Record::Kind::Close:
                if (r.closing) {
                    w.text("1");
                    point(w, el[i - 1]);
                    point(w, el[i]);
                }
                w.text("6");
                break;
        }
    });
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
            throw fault::ProgramFault("the arcs of a contour could not be fitted");
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

void writeConversionFiles(engine::Model& m, bool connectionOn, const Targets& targets,
                          const Settings& s, std::int32_t& currentObject, wf::FileSet* set) {
    readBack(m, intermediateForm(m));
    const std::string contours = contourFile(m, s, currentObject);
    const std::string bar = connectionOn ? barFile(m) : std::string();
    wf::FileSet own;
    wf::FileSet& files = set ? *set : own;
    files.replace(targets.contours, contours);
    if (connectionOn)
        files.replace(targets.bar, bar);
    else
        files.remove(targets.bar);
    if (!set) own.commit();
}

}  // namespace convert
