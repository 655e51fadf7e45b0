// The main window's controls as values with change events: setting a different value fires
// the control's handler (also when code sets it), setting the same value does not.
// Visibility is state, not an event.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace shapes {

// A value a control cannot take (a scroll position outside its range).
struct InvalidProperty : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A text box holds one line: a line break or NUL that comes in (typed, pasted, given on the
// command line, read from a damaged file) is dropped, so it can never reach a work file.
inline std::string singleLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return text;
}

template <typename T>
class Control {
public:
    explicit Control(T initial = T{}, bool visible = true) : visible(visible), value_(initial) {}
    const T& value() const { return value_; }
    operator const T&() const { return value_; }
    // sets the value and fires the handler when it changed
    void set(const T& v) {
        if constexpr (std::is_same_v<T, std::string>) {
            if (v.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return set(singleLine(v));
        }
        if (v == value_) return;
        value_ = v;
        if (onChange) onChange();
    }
    // sets the value without an event (for restoring widgets only)
    void assign(const T& v) {
        if constexpr (std::is_same_v<T, std::string>) {
            value_ = singleLine(v);
        } else {
            value_ = v;
        }
    }

    bool visible;
    std::function<void()> onChange;

private:
    T value_;
};

class ScrollBar {
public:
    ScrollBar(std::int32_t min, std::int32_t max, bool visible) : visible(visible), min_(min), max_(max) {}
    std::int32_t value() const { return value_; }
    std::int32_t min() const { return min_; }
    std::int32_t max() const { return max_; }
    void set(std::int32_t v) {
        if (v < min_ || v > max_) throw InvalidProperty("invalid property value");
        if (v == value_) return;
        value_ = v;
        if (onChange) onChange();
    }
    void setRange(std::int32_t min, std::int32_t max) {
        min_ = min;
        max_ = max;
        if (value_ < min_) value_ = min_;
        if (value_ > max_) value_ = max_;
    }
    bool visible;
    std::function<void()> onChange;

private:
    std::int32_t min_, max_;
    std::int32_t value_ = 0;
};

struct Controls {
    // check boxes: 0 clear, 1 ticked, 2 greyed
    Control<int> Check1{1};         // "On": knot points drawn
    Control<int> Check2{0};         // "Contour connection"
    Control<int> Check3{0};         // "Fit in"
    Control<int> Check4{0, false};  // "Cut"
    Control<int> Check5{1};         // "Create as one object"
    Control<std::string> Text4{"0.08"};       // width of apertures b, inches
    Control<std::string> Text5{"0", false};   // distance to baseline, inches
    Control<std::string> Text6{"0", false};   // connection width, inches
    Control<std::string> Texth{""};           // contour height, inches
    Control<std::string> Textv{""};           // contour width, inches
    Control<std::string> Label1{"Cut -> No connection !", false};
    Control<std::string> Label2{"", false};   // status over the preview
    ScrollBar HScroll1{-1000, 1000, false};  // knot slider
    ScrollBar HScroll2{-20, 120, false};     // distance to baseline in steps
    bool Frame9 = false;     // "Contour connection" group
    bool Command2 = false;   // "= 0"
    bool Command4 = false;   // "Apply"
    bool Picture4 = true;    // shown while the connection is off
    bool Frame11 = false;    // knot frame
    bool Bild1 = true;       // the preview
};

}  // namespace shapes
