# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('edittail', 'src/text/bridge_edit.cpp', 'e.letter = e.letter - was.size() + now.size();', 'e.letter = e.letter + 0;', 'bridge edits: edits after a change in the text stay where they were instead of moving with their letters'),
 ('kindchosen', 'src/start/start.cpp', 'if (!kindChosen_) kind_ = state_.lastKind;', 'kind_ = state_.lastKind;', 'start: the kind picked by the user is lost at the next look at the folder'),
 ('emscale', 'tools/font2tground.cpp', 'text::Typesetter setter(text::resolveFont(opt->font), opt->emMm);', 'text::Typesetter setter(text::resolveFont(opt->font));', 'letter tool: --em-mm ignored'),
 ('closeagain', 'src/text/lettering.cpp', 'point(c.front().a, 0);', 'point(c.front().b, 0);', 'letter file: a contour closed by its first point and then its second instead of the first once more'),
]
