# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('stilltabs', 'src/cut/lettering.cpp', 'if (job.o.tabs) reportStillLoose(job, hold);', 'if (false) reportStillLoose(job, hold);', 'cut: pieces still loose after tabs not reported'),
 ('svgmm', 'src/cut/writers.cpp', 's += "mm\\" height=\\"";', 's += "\\" height=\\"";', 'SVG: width without its unit, drawn at the wrong size'),
 ('widthrange', 'src/cut/settings.cpp', 's.minWidth = within(in.number(), 0, kMostMinWidth, kDefaultMinWidth);', 's.minWidth = in.number();', 'cut settings: a chosen width out of range kept'),
 ('noneflags', 'src/cut_qt/cut_window.cpp', 'problems_->addItem("(none)"), problems_->item(0)->setFlags(Qt::NoItemFlags);', 'problems_->addItem("(none)");', 'cut window: "(none)" selectable as a problem'),
 ('oneobject', 'src/cut/handover.cpp', 'return lines.empty() || wf::parseFlag(lines[0]);', 'return !lines.empty() && wf::parseFlag(lines[0]);', 'hand-over: without orgdim.dat the letters are not taken as one object'),
]
