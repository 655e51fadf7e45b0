# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('shortline', 'src/engine/walk.h', '(i + 3 < to || shortArc == ShortArc::Whole)', '(i + 3 <= to || shortArc == ShortArc::Whole)', 'walk: an arc without its end point read as an arc where a line to its middle is asked'),
 ('levelarc', 'src/engine/arcs.cpp', 'std::fabs(r.a.y - r.b.y) < kLevelArcTolerance ||', 'false ||', 'arcs: an arc whose start is level with its middle stays an arc'),
 ('baroffset', 'src/connection/bar.cpp', 'cy + r * std::sin(mid) >= cy ? r + w : r - w;', 'cy + r * std::sin(mid) >= cy ? r - w : r + w;', 'bar: the offset arc on the wrong side of the baseline'),
 ('tmpname', 'src/workfile/replacement.cpp', 'if (dash == std::string_view::npos || dash == 0 || dash + 1 == tail.size()) return false;', 'if (dash == std::string_view::npos) return false;', 'stale temporary files: names without both numbers taken for ours'),
]
