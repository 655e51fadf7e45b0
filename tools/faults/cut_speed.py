# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('groupend', 'src/cut/booleans.cpp', 'end = std::max(end, b.hi[axis]);', '', 'grouped booleans: a group ends where its first path ends, so overlapping paths are done apart'),
 ('outlinepiece', 'src/cut/detail.h', 'for (Outline& o : of[i]) o.piece = static_cast<int>(i);', '', 'kerf: cut outlines lose the piece they belong to'),
 ('thinkind', 'src/cut/maker.cpp', 'scratch.kind = e.made.kind;', '', 'drawing maker: lettering tested for thin material as a stencil'),
 ('thinfollows', 'src/cut_qt/cut_window.cpp', 'if (!whole && asked->load() == generation) show(make(false), false);', '', 'cut window: a large drawing shown without its thin material stays so'),
 ('savekey', 'src/cut_qt/cut_window.cpp', 'if (!drawing_ || !(svg ? saveSvg_ : saveDxf_)->isEnabled()) return;', 'if (!drawing_) return;', 'cut window: the save key saves the drawing shown while the one for new settings is made'),
]
