// The letter spacing editor form7: the distance after each letter, one pair at a time or for
// all pairs, and "Remove empty space", which pushes every letter against its left neighbour
// until the two overlap by 0.05 mm. The window only binds its widgets to this object.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "shapes/controls.h"
#include "shapes/spacing_scan.h"

namespace engine {
struct Model;
}

namespace shapes {

class Session;

inline constexpr const char* kSpacingCaption = " Letters - Distance  [inches]";
inline constexpr int kSpacingTopOffsetTwips = 3600;
inline constexpr int kSpacingLeftOffsetTwips = 11800;
inline constexpr double kInchesPerScrollStep = 0.005;
inline constexpr double kScrollStepsPerInch = 200;
// the distance slider: -5 to +5 inches in steps of 0.005 inch
inline constexpr std::int32_t kSpacingScrollMin = -1000, kSpacingScrollMax = 1000;

// One row of the list for pair i (characters i and i + 1 of the text, blanks as "_").
std::string spacingRow(const std::string& left, const std::string& right, double distanceInches);

// A number as a text box shows it: "0.1", "20", "-0.005" (no leading blank).
std::string textBoxNumber(double value);

class SpacingDialog {
public:
    explicit SpacingDialog(Session& session);

    // where the dialog opens, from the main window's top and left (twips)
    static int topTwips(int mainTopTwips) { return mainTopTwips + kSpacingTopOffsetTwips; }
    static int leftTwips(int mainLeftTwips) { return mainLeftTwips + kSpacingLeftOffsetTwips; }

    // ---- handlers
    void load();                 // the form is created
    void activate();             // the form is shown
    void selectPair(int row);    // List1: row p - 1 of pair p
    void scroll(std::int32_t v); // the user moves HScroll2 (the change handler runs on a change)
    void enterDistance();        // Enter in Text2: the typed distance for the selected pair
    void zeroDistance();         // Command5 "= 0"
    void distanceForAll();       // Command4 "(+) Distance for all letters"
    void reset();                // Command1 "Reset"
    void close();                // Command3 "Close", Escape
    void removeEmptySpace();     // Command2 "Remove empty space"

    // ---- form methods
    void fillList();        // fills List1 from the text and the distances
    void clearDistances();  // clears both distance arrays (1..255), then fills the list

    bool closed() const { return closed_; }
    bool busy() const { return busy_; }

    // ---- controls
    std::vector<std::string> rows;  // List1
    int selectedRow = -1;           // List1's selection, -1 for none
    Control<std::string> Text2{" 0"};
    ScrollBar HScroll2{kSpacingScrollMin, kSpacingScrollMax, true};

private:
    void onDistanceMoved();  // HScroll2's change: the selected pair takes the slider's distance
    // the handlers' work, each run as one step of undo
    void moveDistance();
    void giveAllDistance();
    void clearAll();
    void closeUp();
    void untickConnection();
    void letterBuild();
    void fitPreview();
    int pairCount() const;
    void setScrollFrom(double distanceInches);
    bool closeGaps();  // the removal itself; false after a reported failure
    bool layOutPlainly();  // the letters unbent (with "Fit in": each filling the height); false after a reported failure
    void showProgress(int letter, int letters);

    Session& session_;
    bool closed_ = false;
    bool busy_ = false;
};

}  // namespace shapes
