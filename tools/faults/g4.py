# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('g4plainsign', 'src/workfile/number_form.cpp', "if (text[i] == '+') start = i + 1;", 'start = i + 1;', 'number reading: the plain form drops its minus sign'),
 ('g4joinsin', 'src/geom/segments.cpp', 'ay2 = ay1 + kLengthen * la * std::sin(ta);', 'ay2 = ay1 + kLengthen * la * std::cos(ta);', 'segment join: the first segment lengthened off its line'),
 ('g4nearend', 'src/engine/shape.cpp', 'const Element& end = (x < lo) == (p.x < q.x) ? p : q;', 'const Element& end = (x < lo) == (p.x < q.x) ? q : p;', 'knot line: a segment ending just short of it gets its far end as the vertex'),
 ('g4dirwrap', 'src/geom/geom.cpp', 'if (a >= kFullTurn || a == 0) a = 0.0;', 'if (a == 0) a = 0.0;', 'direction: a hair below the axis comes out as a full turn'),
]
