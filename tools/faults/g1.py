# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('g1reach', 'src/cut/cut.cpp', 'if (!(hi - lo <= kLargestDrawing) || std::fabs(lo) > kLargestDrawing || std::fabs(hi) > kLargestDrawing)',
  'if (!(hi - lo <= 2 * kLargestDrawing) || std::fabs(lo) > kLargestDrawing || std::fabs(hi) > 2 * kLargestDrawing)',
  'cut: a drawing up to twice the largest sheet built'),
 ('g1points', 'src/cut/cut.cpp', 'if (points > kMostPoints)', 'if (points > 2 * kMostPoints)',
  'cut: a drawing of more points than the booleans are given built'),
]
