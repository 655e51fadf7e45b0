# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('roundhalf', 'src/geom/geom.cpp', "mant[static_cast<std::size_t>(keep)] >= '5';", "mant[static_cast<std::size_t>(keep)] > '5';", 'decimal rounding: a tie rounds down'),
 ('bridgecap', 'src/engine/contours.cpp', 'if (model.bridges.size() >= kMaxBridgeHeights)', 'if (model.bridges.size() > kMaxBridgeHeights)', 'letter file reader: one bridge beyond the height column taken'),
 ('readonly', 'src/workfile/replacement.cpp', '(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||', 'false && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||', 'writer: a file read-only by its mode is replaced'),
 ('bridgeswap', 'src/text/lettering.cpp', '.number(fileValue(b.p1.y)).number(fileValue(b.p2.x))', '.number(fileValue(b.p2.x)).number(fileValue(b.p1.y))', 'tground writer: bridge y1 and x2 swapped'),
 ('savedbytes', 'src/start/start.cpp', 's.savedState = !ec && saved >= kSavedStateBytes;', 's.savedState = !ec && saved > kSavedStateBytes;', 'start: a saved state of exactly 3 bytes not offered'),
 ('fitbridge', 'src/engine/contours.cpp', 'b.y1 -= letter.ymin;', 'b.y1 += letter.ymin;', 'letter file reader: fitted-in bridge start moved the wrong way'),
]
