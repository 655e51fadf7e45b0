# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('panway', 'src/shapes/zoom.cpp', 'const double dx = from.x - to.x, dy = from.y - to.y;', 'const double dx = to.x - from.x, dy = from.y - to.y;', 'pan: the letters move against the pointer'),
 ('hmaxscale', 'src/shapes/dimension_dialog.cpp', 'const double scale = oldSmall == 0 ? 0 : small / oldSmall;', 'const double scale = oldSmall == 0 ? 0 : oldSmall / small;', 'height dialog: H(max) scales the text width the wrong way'),
 ('heighttip', 'src/shapes_qt/dimension_dialog_qt.cpp', 'edit->setToolTip(tip);', 'edit->setToolTip(QString());', 'height dialog: the height boxes without their tooltip'),
]
