#include "shapes/spacing_dialog.h"

#include <algorithm>

#include "engine/contours.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {

constexpr const char* kQuestionTitle = "LETTERKERF";
constexpr std::size_t kLastPair = 255;        // distances 1..255 are the pairs' own
constexpr std::size_t kLastCheckedPair = 250;  // the handlers look at 1..250 for set distances

bool anySet(const std::array<double, engine::kSignDistances>& d) {
    for (std::size_t i = 1; i <= kLastCheckedPair; ++i)
        if (d[i] != 0) return true;
    return false;
}

}  // namespace

std::string spacingRow(const std::string& left, const std::string& right, double distanceInches) {
    const auto shown = [](const std::string& c) { return c == " " ? std::string("_") : c; };
    std::string row = shown(left);
    row += " <> ";
    row += shown(right);
    row += "   ";
    row += wf::formatNumber(distanceInches);
    return row;
}

std::string textBoxNumber(double value) {
    std::string s = wf::formatNumber(value);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    if (!s.empty() && s[0] == '.') s.insert(0, "0");
    if (s.size() > 1 && s[0] == '-' && s[1] == '.') s.insert(1, "0");
    return s;
}

SpacingDialog::SpacingDialog(Session& session) : session_(session) {
    HScroll2.onChange = [this] { onDistanceMoved(); };
}

int SpacingDialog::pairCount() const {
    const int n = static_cast<int>(wf::characters(session_.model().groundText).size()) - 1;
    return std::clamp(n, 0, static_cast<int>(kLastPair));
}

void SpacingDialog::fillList() {
    const engine::Model& m = session_.model();
    rows.clear();
    selectedRow = -1;  // a cleared list has no selection
    const std::vector<std::string> chars = wf::characters(m.groundText);
    for (int i = 1; i <= pairCount(); ++i)
        rows.push_back(spacingRow(chars[i - 1], chars[i], m.signDistanceA[i]));
}

void SpacingDialog::clearDistances() {
    clearSignDistances(session_.model());
    fillList();
}

void SpacingDialog::load() {
    session_.rememberPair(0);
    closed_ = false;
}

void SpacingDialog::activate() {
    fillList();
    const int stored = session_.rememberedPair();
    if (stored >= 0 && stored < static_cast<int>(rows.size())) selectedRow = stored;
    if (rows.empty()) return;
    // the slider and the box show the selected pair (the first one when none is selected), so
    // that the slider's change cannot give one pair's distance to another
    const double d = session_.model().signDistanceA[static_cast<std::size_t>(selectedRow >= 0 ? selectedRow + 1 : 1)];
    setScrollFrom(d);
    Text2.set(textBoxNumber(d));
}

void SpacingDialog::setScrollFrom(double distanceInches) {
    std::int32_t steps = 0;
    bool inRange = false;
    try {
        steps = wf::toInt32(distanceInches * kScrollStepsPerInch);  // ties to even
        inRange = steps >= HScroll2.min() && steps <= HScroll2.max();
    } catch (const fault::OverflowFault&) {
        steps = distanceInches < 0 ? HScroll2.min() : HScroll2.max();
    }
    if (inRange) return HScroll2.set(steps);  // the change handler runs as for the user's move
    // A distance beyond the slider's reach ("for all letters" takes any number) puts the slider
    // at its end without an event: moving it there must not overwrite the distance.
    auto handler = std::move(HScroll2.onChange);
    HScroll2.onChange = nullptr;
    HScroll2.set(std::clamp(steps, HScroll2.min(), HScroll2.max()));
    HScroll2.onChange = std::move(handler);
}

void SpacingDialog::selectPair(int row) {
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    selectedRow = row;
    const double d = session_.model().signDistanceA[static_cast<std::size_t>(row + 1)];
    setScrollFrom(d);
    Text2.set(textBoxNumber(d));
}

void SpacingDialog::scroll(std::int32_t v) { HScroll2.set(std::clamp(v, HScroll2.min(), HScroll2.max())); }

// The distance typed into the box (inches) goes to the selected pair as moving the slider to
// it would put it there: to the slider's step, within the slider's reach. The box then shows
// the distance the pair has.
void SpacingDialog::enterDistance() {
    if (busy_ || selectedRow < 0 || selectedRow >= static_cast<int>(rows.size())) return;
    const double d = wf::parseNumberOrZero(Text2.value());
    std::int32_t steps = 0;
    try {
        steps = wf::toInt32(d * kScrollStepsPerInch);
    } catch (const fault::OverflowFault&) {
        steps = d < 0 ? HScroll2.min() : HScroll2.max();
    }
    steps = std::clamp(steps, HScroll2.min(), HScroll2.max());
    if (steps == HScroll2.value())
        onDistanceMoved();  // the slider is there already: no change event, the distance still applies
    else
        HScroll2.set(steps);
    Text2.set(textBoxNumber(session_.model().signDistanceA[static_cast<std::size_t>(selectedRow) + 1]));
}

void SpacingDialog::untickConnection() { session_.controls().Check2.set(0); }

void SpacingDialog::letterBuild() { session_.rebuild(kRebuildLetters | kRebuildShape); }

// The whole text in view: the fitted window of the main window's "fit" (4:3 with a margin),
// so that the letters keep their proportions.
void SpacingDialog::fitPreview() { session_.fitView(); }

void SpacingDialog::onDistanceMoved() {
    if (busy_) return;
    // a slider dragged over one pair is one step
    session_.userStep("distance after letter " + std::to_string(selectedRow + 1), [this] { moveDistance(); }, Fold::Typing);
}

void SpacingDialog::moveDistance() {
    session_.rememberPair(static_cast<std::int16_t>(selectedRow));
    untickConnection();
    session_.ui().processEvents();
    const int row = selectedRow;
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    engine::Model& m = session_.model();
    const auto p = static_cast<std::size_t>(row + 1);
    Text2.set(std::to_string(HScroll2.value()));
    m.signDistanceA[p] = wf::parseNumberOrZero(Text2.value()) * kInchesPerScrollStep;
    const std::vector<std::string> chars = wf::characters(m.groundText);
    rows[p - 1] = spacingRow(chars[p - 1], chars[p], m.signDistanceA[p]);
    selectedRow = row;
    const engine::ViewWindow view = m.view;  // the preview does not move
    letterBuild();
    m.view = view;
    session_.paint();
}

void SpacingDialog::zeroDistance() { HScroll2.set(0); }

void SpacingDialog::distanceForAll() {
    session_.userStep("distance for all letters", [this] { giveAllDistance(); });
}

void SpacingDialog::giveAllDistance() {
    const int row = selectedRow;
    untickConnection();
    const double d = wf::parseNumberOrZero(Text2.value());
    const std::size_t last = std::min(wf::characters(session_.model().groundText).size(), kLastPair);
    for (std::size_t i = 1; i <= last; ++i) session_.model().signDistanceA[i] = d;
    fillList();
    letterBuild();
    fitPreview();
    session_.paint();
    if (row >= 0 && row < static_cast<int>(rows.size())) selectedRow = row;
}

void SpacingDialog::reset() {
    session_.userStep("reset distances", [this] { clearAll(); });
}

void SpacingDialog::clearAll() {
    session_.rememberPair(0);
    if (!session_.confirmYesNo(kQuestionTitle, "Clear all distances ?")) return;
    Text2.set("0");
    clearDistances();
    letterBuild();
    untickConnection();
    fitPreview();
    session_.paint();
}

void SpacingDialog::close() {
    session_.rememberPair(0);
    closed_ = true;
}

void SpacingDialog::removeEmptySpace() {
    if (busy_) return;
    session_.userStep("remove empty space", [this] { closeUp(); });
}

void SpacingDialog::closeUp() {
    const int row = selectedRow;
    session_.rememberPair(static_cast<std::int16_t>(row));
    engine::Model& m = session_.model();
    if (anySet(m.signDistanceB)) return;  // already removed; Reset clears it
    untickConnection();
    Ui& ui = session_.ui();
    if (anySet(m.signDistanceA) && !session_.confirmYesNo(kQuestionTitle, "Delete existing sign distances ! Continue ?"))
        return;
    session_.blankPreview();
    Text2.set("0");
    ui.processEvents();
    for (std::size_t i = 1; i <= kLastPair; ++i) m.signDistanceA[i] = 0;
    fillList();

    struct Hold {  // the windows take input again however the removal ends
        SpacingDialog& d;
        Ui& ui;
        Hold(SpacingDialog& d, Ui& ui) : d(d), ui(ui) {
            ui.setWindowsEnabled(false);
            d.busy_ = true;
        }
        ~Hold() {
            d.busy_ = false;
            ui.setWindowsEnabled(true);
        }
    };
    {
        Hold hold(*this, ui);
        closeGaps();
    }
    if (row >= 0 && row < static_cast<int>(rows.size())) selectedRow = row;
}

bool SpacingDialog::layOutPlainly() {
    if (!session_.loadGroundContours()) return false;
    if (session_.controls().Check3 != 1) return true;
    struct KeepShape {  // the shape in use comes back however the building ends
        engine::Model& m;
        std::int16_t shape;
        ~KeepShape() { m.shapeNumber = shape; }
    } keep{session_.model(), session_.model().shapeNumber};
    session_.model().shapeNumber = 0;
    return session_.buildShape();
}

void SpacingDialog::showProgress(int letter, int letters) {
    Ui& ui = session_.ui();
    session_.blankPreview();
    session_.controls().Label2.set("Please wait.... !  Examine contour >" + std::to_string(letter) + " from " +
                                 std::to_string(letters) + " <");
    ui.controlsChanged();
    ui.processEvents();
}

bool SpacingDialog::closeGaps() {
    engine::Model& m = session_.model();
    Ui& ui = session_.ui();
    for (std::size_t i = 0; i <= kLastPair; ++i) m.signDistanceA[i] = m.signDistanceB[i] = 0;
    session_.controls().Label2.visible = true;
    ui.controlsChanged();
    struct HideLabel {  // however the removal ends
        Session& s;
        ~HideLabel() {
            s.controls().Label2.visible = false;
            s.ui().controlsChanged();
        }
    } hide{session_};

    int letters = 0;  // as laid out for the scan
    const auto abandon = [&] {
        for (int k = 1; k <= letters; ++k) m.signDistanceB[static_cast<std::size_t>(k)] = 0;
        letterBuild();
        session_.paint();
        return false;
    };
    try {
        if (!layOutPlainly()) {  // reported
            session_.paint();
            return false;
        }
        letters = std::clamp<int>(m.letterCount, 0, static_cast<int>(engine::kMaxLetters));
        const SpacingScan::Result scan =
            session_.spacingScan().closeGaps(m, [this](int k, int n) { showProgress(k, n); });
        if (!scan.written) {
            ui.fileError(kFileAccessError, wf::kErrorTitle);
            return abandon();
        }
        m.signDistanceB = scan.distances;
        session_.controls().Label2.visible = false;
        letterBuild();  // now with the shape in use and the new distances
        fitPreview();
        session_.paint();
        return true;
    } catch (const std::exception&) {
        ui.message("Error !", "Exit", Icon::Critical);
        return abandon();
    }
}

}  // namespace shapes
