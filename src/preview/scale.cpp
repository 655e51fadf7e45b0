#include "preview/scale.h"

#include <cmath>

#include "engine/contours.h"
#include "geom/geom.h"
#include "workfile/workfile_io.h"

namespace preview {

void masstaebe(engine::Model& model) {
    const engine::Box b = engine::contourExtents(model);
    const double extent = b.ymax - b.ymin;
    const double f = model.smallHeight / extent;
    if (extent == 0 || !std::isfinite(f)) throw fault::OverflowFault("division by zero");
    model.textScale = f;
    model.textScaleCopy = f;
    for (engine::Element& e : model.elements) {
        e.letterHeight *= f;
        double x2 = e.x, y2 = e.y;
        geom::lskalieren(b.xmin, 0, f, f, e.x, e.y, x2, y2);
    }
    for (engine::Bridge& br : model.bridges) {
        br.letterHeight *= f;
        geom::lskalieren(b.xmin, 0, f, f, br.x1, br.y1, br.x2, br.y2);
    }
}

void endmass(engine::Model& model, double factor) {
    for (engine::Element& e : model.elements) {
        double x2 = e.x, y2 = e.y;
        geom::lskalieren(0, 0, factor, factor, e.x, e.y, x2, y2);
    }
    for (engine::Bridge& br : model.bridges)
        geom::lskalieren(0, 0, factor, factor, br.x1, br.y1, br.x2, br.y2);
    for (engine::BarLine& l : model.barLines)
        geom::lskalieren(0, 0, factor, factor, l.x1, l.y1, l.x2, l.y2);
    for (engine::BarArc& a : model.barArcs)
        geom::kskalieren(0, 0, factor, factor, a.radius, a.cx, a.cy, a.startDeg, a.endDeg);
}

}  // namespace preview
