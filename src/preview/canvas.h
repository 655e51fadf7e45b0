// What the preview draws on: a 640 x 480 picture, y downwards, lines in palette colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace preview {

inline constexpr double kPictureWidth = 640;
inline constexpr double kPictureHeight = 480;

// Entries of the classic 16-colour palette used by the preview.
enum Colour : std::uint8_t {
    kBlack = 0,
    kGreen = 2,
    kLightGrey = 7,
    kLightBlue = 9,
    kLightRed = 12,
};

struct Rgb {
    std::uint8_t r, g, b;
};
Rgb paletteColour(std::uint8_t index);

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void clear() = 0;
    virtual void line(double x1, double y1, double x2, double y2, std::uint8_t colour) = 0;
    // false: nothing drawn here is kept or shown, so the drawing may be left out
    virtual bool keeps() const { return true; }
};

struct Stroke {
    double x1, y1, x2, y2;
    std::uint8_t colour;
};

// a text printed into the picture, its top left corner at (x, y)
struct Caption {
    double x, y;
    std::string text;
    std::uint8_t colour;
    int pointSize;
};

// Keeps what was drawn last, so the window can show it again at any size and the command line
// can write it out. A command line that writes no picture keeps nothing: on the most
// curve-dense letters the strokes alone would take over a hundred megabytes.
class DisplayList : public Canvas {
public:
    void clear() override {
        strokes.clear();
        captions.clear();
    }
    void caption(double x, double y, std::string text, std::uint8_t colour, int pointSize) {
        if (keeping_) captions.push_back({x, y, std::move(text), colour, pointSize});
    }
    void line(double x1, double y1, double x2, double y2, std::uint8_t colour) override {
        if (keeping_) strokes.push_back({x1, y1, x2, y2, colour});
    }
    bool keeps() const override { return keeping_; }
    void keep(bool on) {
        keeping_ = on;
        if (!on) {
            clear();
            strokes.shrink_to_fit();
        }
    }
    std::vector<Stroke> strokes;
    std::vector<Caption> captions;

private:
    bool keeping_ = true;
};

}  // namespace preview
