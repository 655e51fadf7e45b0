# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('round', 'src/workfile/number_form.cpp', 'const double r = std::nearbyint(value);', 'const double r = std::round(value);', 'integer conversion rounds half away from zero'),
 ('expform', 'src/workfile/number_form.cpp', '(nd - 1 - exponent) > kSignificantDigits;', '(nd - 1 - exponent) >= kSignificantDigits;', 'number form: exponent form one digit early'),
 ('arcjoin', 'src/convert/arc_fit.cpp', 'if (shortBoth && dev <= tol) {', 'if (shortBoth && dev <= 2 * tol) {', 'arc fit: joined chord tolerance doubled'),
 ('collinear', 'src/geom/geom.cpp', 'constexpr double kCollinearSine = 1e-12;', 'constexpr double kCollinearSine = 1e-6;', 'circle through three points: collinearity tolerance'),
 ('stripcut', 'src/cut/cut.cpp', 'geom::stripDirection(b.kind, phi, geom::kPi / 2);', 'geom::stripDirection(b.kind, phi, -geom::kPi / 2);', 'cut: bridge strip on the wrong side'),
 ('striptext', 'src/text/bridges.cpp', '(geom::stripRunsRight(b.kind) ? -stripWidth : stripWidth);', '(geom::stripRunsRight(b.kind) ? stripWidth : -stripWidth);', 'text: bridge strip on the wrong side'),
 ('letters255', 'src/text/lettering.cpp', 'if (chars.size() > kMaxLetters)', 'if (chars.size() >= kMaxLetters)', 'text: 255 letters refused'),
 ('bar641', 'src/cut/handover.cpp', 'if (arcs > static_cast<double>(kMaxBarElements) || lines', 'if (arcs > static_cast<double>(kMaxBarElements + 1) || lines', 'cut handover: 642 bar arcs taken'),
 ('outclaim', 'src/workfile/outputs.cpp', 'if (place.sameAs(other))', 'if (false && place.sameAs(other))', 'output guard: two outputs to one file'),
 ('swapfield', 'src/cut/settings.cpp', 'w.number(s.kerf).number(s.border < 0 ? -1 : s.border)', 'w.number(s.border < 0 ? -1 : s.border).number(s.kerf)', 'cut settings writer: kerf and border swapped'),
 ('twobridges', 'src/text/lettering.cpp', '(l.twoForMidSize ? kTwoBridgesChosenMm : kTwoBridgesMm)', '(l.twoForMidSize ? kTwoBridgesMm : kTwoBridgesChosenMm)', 'text: bridge count rule for mid-size islands swapped'),
 ('merged', 'src/cut/merged.cpp', 'for (std::size_t b = a + 1; b < order.size()', 'for (std::size_t b = a + 2; b < order.size()', 'cut: merged letters, next neighbour skipped'),
 ('stale', 'src/workfile/stage_files.cpp', 'if (lines[1] != fingerprintOf(workFile(programFolder, "tground.dat")))', 'if (false)', 'hand-over stamp: changed lettering not seen'),
 ('lock', 'src/workfile/work_lock.cpp', 'if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {', 'if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {', 'work lock shared'),
 ('tground', 'src/engine/contours.cpp', 'b.x2 = in.number() + offset;', 'b.x2 = in.number();', 'tground reader: bridge end not moved with its letter'),
 ('kerf', 'src/cut/cut.cpp', 'addCutOutlines(job, -o.kerf / 2, true);', 'addCutOutlines(job, -o.kerf, true);', 'cut: whole kerf instead of half'),
]
