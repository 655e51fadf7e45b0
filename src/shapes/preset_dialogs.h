// Two small dialogs: the width b of the stencil apertures ("Input"), and the presets of the
// conversion ("Presetting"): the shortest line or arc and the largest radius.
#pragma once

#include <string>

namespace shapes {

class Session;

// form22
class ApertureDialog {
public:
    static constexpr const char* kCaption = "Input";
    static constexpr const char* kWidthCaption = "Width of apertures b:";  // Label1
    static constexpr int kTopOffsetTwips = 8000, kLeftOffsetTwips = 11000;

    explicit ApertureDialog(Session& session);  // load: the limits and the current width
    // Picture2: true when taken (the main window's Text4 changes); otherwise the range
    // message was shown and the dialog stays open
    bool accept();
    void cancel() { closed_ = true; }  // Picture1
    bool closed() const { return closed_; }

    std::string text1;   // b, inches
    std::string label2;  // "b= " lo " to" hi
    double lowInches() const { return lo_; }
    double highInches() const { return hi_; }

private:
    Session& session_;
    double lo_, hi_;
    bool closed_ = false;
};

// form361
class PresettingDialog {
public:
    static constexpr const char* kCaption = "Presetting";
    static constexpr double kMinRadiusInches = 79, kMaxRadiusInches = 390;

    explicit PresettingDialog(Session& session);  // load: range-checks the presets it shows
    // "Apply": true when taken (th.dat is written); otherwise the range message was shown,
    // Text1 reads "390" and the dialog stays open
    bool apply();
    void exit() { closed_ = true; }  // Command1 "Exit"
    bool closed() const { return closed_; }

    int option = 0;     // 3: "0.004 inches", 4: "0.002 inches", 0: neither
    std::string text1;  // the maximum radius, inches

private:
    Session& session_;
    bool closed_ = false;
};

}  // namespace shapes
