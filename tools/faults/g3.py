# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('tailoverlap', 'src/text/bridge_edit.cpp', 'while (tail < was.size() - head && tail < now.size() - head &&', 'while (tail < was.size() && tail < now.size() &&', 'bridge edits: the unchanged end of the text may reach into the unchanged start, so an edit is kept twice ("AAA" to "AA")'),
]
