// The twenty dimension dialogs of the shape gallery: one class, told by a table of forms.
// A dialog shows inches; the session keeps millimetres.
#pragma once

#include <string>

namespace shapes {

class Session;

enum class DialogKind {
    Single,  // one height (shape 0)
    Ratio,   // H / h at most 6
    HMax,    // H at most H(max), from the width of the text
};

struct DialogForm {
    const char* name;   // form name
    DialogKind kind;
    double lowerBound;  // inches
    bool knot;          // the shape has a knot
};

inline constexpr int kShapeCount = 20;
inline constexpr const char* kDialogCaption = "Shape";
inline constexpr const char* kInputRangeLabel = "Input range: 0.32 to 39";
inline constexpr double kUpperBoundInches = 39;
inline constexpr int kDialogTopOffsetTwips = 3200;
inline constexpr int kDialogLeftOffsetTwips = 11700;

// shape 0..19; anything else raises std::out_of_range
const DialogForm& dialogForm(int shape);

class DimensionDialog {
public:
    DimensionDialog(Session& session, int shape);

    int shape() const { return shape_; }
    const DialogForm& form() const { return form_; }
    bool twoHeights() const { return form_.kind != DialogKind::Single; }

    // where the dialog opens, from the main window's top and left (twips)
    int topTwips(int mainTopTwips) const { return mainTopTwips + kDialogTopOffsetTwips; }
    int leftTwips(int mainLeftTwips) const { return mainLeftTwips + kDialogLeftOffsetTwips; }

    void activate();  // fills the text boxes from the session's heights
    // Picture2: true when the input was taken and the dialog closes; otherwise the message
    // has been shown, the heights are as before and the dialog stays open
    bool accept();
    void cancel() { closed_ = true; }  // Picture1
    bool closed() const { return closed_; }
    bool accepted() const { return accepted_; }

    std::string text1;   // H (the one height of shape 0)
    std::string text2;   // h
    std::string label4;  // the H(max) notice

private:
    bool refuse(const char* text, const char* title, bool critical);

    Session& session_;
    int shape_;
    const DialogForm& form_;
    bool closed_ = false, accepted_ = false;
};

}  // namespace shapes
