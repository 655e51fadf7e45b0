# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('presetmax', 'src/shapes/preset_dialogs.cpp', 'r <= kMaxRadiusInches', 'r < kMaxRadiusInches', 'presetting: the maximum radius 390 inches itself refused'),
 ('zoomoutwide', 'src/shapes/zoom.cpp', 'const double dx = 1.1 * (v.xmax - v.xmin), dy = 1.1 * (v.ymax - v.ymin);', 'const double dx = 1.0 * (v.xmax - v.xmin), dy = 1.0 * (v.ymax - v.ymin);', 'zoom: the right button widens the view twice instead of 2.2 times'),
 ('tokentab', 'src/shapes/session.cpp', "if (c != ' ' && c != '\\0') out += c;", "if (c != ' ' && c != '\\t' && c != '\\0') out += c;", 'start: a tab inside the token is dropped, "st<tab>vt" starts'),
 ('emptytwice', 'src/shapes/spacing_dialog.cpp', 'if (anySet(m.signDistanceB)) return;', 'if (anySet(m.signDistanceB) && false) return;', 'sign distances: "Remove empty space" runs again before Reset'),
]
