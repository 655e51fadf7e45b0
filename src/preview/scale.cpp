#include "preview/scale.h"

#include <cmath>

#include "engine/contours.h"
#include "geom/geom.h"
#include "workfile/workfile_io.h"

namespace preview {

namespace {
// the point (x, y) scaled by f about centre, in place
void scale(double& x, double& y, geom::Point centre, double f) {
    const geom::Point p = geom::scaledAbout({x, y}, centre, f, f);
    x = p.x;
    y = p.y;
}
}  // namespace

void scaleToHeight(engine::Model& model) {
    const engine::Box b = engine::contourExtents(model);
    const double extent = b.ymax - b.ymin;
    const double f = model.smallHeight / extent;
    if (extent == 0 || !std::isfinite(f)) throw fault::OverflowFault("division by zero");
    model.textScale = f;
    model.textScaleCopy = f;
    const geom::Point centre{b.xmin, 0};
    for (engine::Element& e : model.elements) {
        e.letterHeight *= f;
        scale(e.x, e.y, centre, f);
    }
    for (engine::Bridge& br : model.bridges) {
        br.letterHeight *= f;
        scale(br.x1, br.y1, centre, f);
        scale(br.x2, br.y2, centre, f);
    }
}

void scaleModel(engine::Model& model, double factor) {
    const geom::Point origin{0, 0};
    for (engine::Element& e : model.elements) scale(e.x, e.y, origin, factor);
    for (engine::Bridge& br : model.bridges) {
        scale(br.x1, br.y1, origin, factor);
        scale(br.x2, br.y2, origin, factor);
    }
    for (engine::BarLine& l : model.barLines) {
        scale(l.x1, l.y1, origin, factor);
        scale(l.x2, l.y2, origin, factor);
    }
    for (engine::BarArc& a : model.barArcs) {
        scale(a.cx, a.cy, origin, factor);
        a.radius *= factor;
    }
}

}  // namespace preview
