# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('stv2bswap', 'src/shapes/workfiles.cpp', 'w.flag(s.check1).flag(s.check2).flag(s.check4).flag(s.check3);', 'w.flag(s.check1).flag(s.check2).flag(s.check3).flag(s.check4);', 'saved state: "Cut" and "Fit in" written in each other\'s place'),
 ('undodepth', 'src/shapes/undo.cpp', 'while (undo_.size() > depth_) undo_.pop_front();', 'while (undo_.size() >= depth_) undo_.pop_front();', 'undo: one step fewer kept than the depth'),
 ('scrollround', 'src/shapes/spacing_dialog.cpp', 'steps = wf::toInt32(distanceInches * kScrollStepsPerInch);  // ties to even', 'steps = static_cast<std::int32_t>(distanceInches * kScrollStepsPerInch);', 'sign distances: slider position truncated instead of rounded'),
 ('hequal', 'src/shapes/dimension_dialog.cpp', 'if (twoHeights() && big <= small)', 'if (twoHeights() && big < small)', 'shape dialog: H equal to h accepted'),
 ('wheelsign', 'src/shapes/zoom.cpp', 'if (rotation < 1)', 'if (rotation > -1)', 'zoom: the wheel turns the wrong way'),
 ('clirefused', 'src/shapes_qt/cli.cpp', 'if (r_.has("--close") && status != kRefused)', 'if (r_.has("--close"))', 'command line: closes (hands over) after a dialog refused its input'),
]
