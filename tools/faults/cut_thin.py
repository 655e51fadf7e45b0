# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('thinwidth', 'src/cut/thin.cpp', 'return std::max({o.kerf, o.minWidth, kPointContact});', 'return std::max(o.kerf, kPointContact);', 'thin check: the chosen width ignored'),
 ('pointcontact', 'src/cut/thin.cpp', 'if (!seen.insert(ring[i]).second) reportAround(toMm(ring[i]));', 'seen.insert(ring[i]);', 'thin check: point contacts not seen'),
 ('typed', 'src/cut/typed.cpp', 'if (points > 0) out.push_back({k, std::move(character)});', 'out.push_back({k, std::move(character)});', 'letters as typed: letters without contours (spaces) matched to hand-over letters'),
 ('stagekey', 'src/cut/maker.cpp', 'StageKey{o.kind, false, o.border} : StageKey{o.kind, o.tabs, -1};', 'StageKey{o.kind, false, -1} : StageKey{o.kind, o.tabs, -1};', 'drawing maker: a stencil kept across a change of border'),
]
