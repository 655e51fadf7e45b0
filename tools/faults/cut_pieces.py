# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('evenodd', 'src/cut/cut.cpp', 'letters[i].paths = boolean(cl::ctUnion, loops, {});', 'letters[i].paths = boolean(cl::ctUnion, loops, {}, cl::pftEvenOdd);', 'cut: letters filled even-odd, overlapping outlines leave a lens'),
 ('tabair', 'src/cut/lettering.cpp', 'if (acrossIn(r, {end.x + dir.x * e, end.y + dir.y * e}, normal, width)) return e;', 'return e;', 'cut: a tab taken without reaching into material'),
 ('stillloose', 'src/cut/lettering.cpp', 'if (job.o.tabs) reportStillLoose(job, hold);', 'if (false) reportStillLoose(job, hold);', 'cut: pieces still loose after tabs not reported'),
 ('carry', 'src/cut/strips.cpp', 'carryThroughStroke(job, b, reach, s);', '(void)reach;', 'cut: bridge strips not carried through a slanted stroke'),
]
