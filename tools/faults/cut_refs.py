# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('refplot', 'src/cut/dxf.cpp', 'w.dxfInt(290, l.cut ? 1 : 0);', 'w.dxfInt(290, 1);', 'cut file: reference layers marked to plot'),
 ('tileband', 'src/cut/sheets.cpp', 'out.emplace_back(start, best + kTileOverlap);', 'out.emplace_back(start, best);', 'tiled sheets: neighbours share no band, the registration marks on one sheet only'),
 ('barradians', 'src/convert/conversion.cpp', '.number(a.startDeg * kDegToRad)', '.number(a.startDeg)', 'workm.dat: bar arcs start in degrees'),
 ('undofolder', 'src/cut/settings.cpp', 'const Settings s = withFolder(undo_.back(), now.lastFolder);', 'const Settings s = undo_.back();', 'cut settings undo: the folder saved to taken back too'),
]
