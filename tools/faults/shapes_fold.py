# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('enterclamp', 'src/shapes/spacing_dialog.cpp', 'steps = std::clamp(steps, HScroll2.min(), HScroll2.max());', 'steps = std::max(steps, HScroll2.min());', 'sign distances: a typed distance beyond the slider\'s reach is not held at its end'),
 ('thradiuslow', 'src/shapes/workfiles.cpp', 'p.maxArcRadius >= engine::kMaxArcRadiusLow', 'p.maxArcRadius > engine::kMaxArcRadiusLow', 'th.dat: the lowest maximum radius 2000 itself falls back to the default'),
 ('outputlink', 'src/shapes/workfiles.cpp', 'const fs::path canonical = fs::weakly_canonical(abs, ec);', 'const fs::path canonical = abs;', 'command line: an output reaching the work folder through a link is taken'),
 ('typedback', 'src/shapes/undo.cpp', 'if (undo_.back().state.sameWork(now)) {', 'if (false) {', 'undo: typing a box back to where it began still leaves a step'),
]
