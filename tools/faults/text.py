# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('farpast', 'src/text/lettering.cpp', 'out.farPast = std::max(kBridgePastMm, kBridgeFarPastApertures * out.cut.apertureMm) / out.fileToCut;', 'out.farPast = kBridgePastMm / out.fileToCut;', 'text: bridges reach no further than the straight letters need, too short once bent'),
 ('blankglyph', 'src/text/lettering.cpp', 'std::optional<std::vector<Contour>> drawn = font_.outline(l.glyph, scale, {}, kCubicToleranceEm * emMm_);', 'std::optional<std::vector<Contour>> drawn = font_.outline(l.glyph, scale, {}, kCubicToleranceEm * emMm_); if (!drawn) drawn.emplace();', 'text: a glyph the font cannot load becomes a blank'),
 ('shapvariant', 'src/text/stage.cpp', 'wf::shapDatText(l.letters.size(), variant_ == Variant::NoBridges)', 'wf::shapDatText(l.letters.size(), false)', 'text stage: shap.dat names the variant with bridges for both'),
 ('looseshown', 'src/text_qt/lettering_view.cpp', 'for (const text::Polygon& p : k.loose) addPolygon(loose, p, k.x);', 'for (const text::Polygon& p : k.loose) (void)p;', 'text window: loose islands not drawn red'),
]
