// The text stage's preview: the letters as the stencil will have them (outlines, bridge strips,
// loose islands in red, the selected bridge in orange), and the mouse on it in the letters' own
// millimetres for the window to place bridges by hand.
#pragma once

#include <QPointF>
#include <QTransform>
#include <QWidget>
#include <functional>
#include <optional>

#include "text/bridge_edit.h"

namespace text_qt {

class LetteringView : public QWidget {
public:
    explicit LetteringView(QWidget* parent = nullptr);
    // The letters to show, owned by the caller and kept alive until the next call (nullptr:
    // nothing), and the selected bridge.
    void show(const text::Lettering* l, std::optional<text::BridgeRef> selected = {});

    // What the mouse does, in line coordinates (mm, x along the line, y up): a press, with the
    // distance that a few pixels make there; a move while the button is held; the Delete key.
    std::function<void(text::Pt, double)> pressed;
    std::function<void(text::Pt)> dragged;
    std::function<void()> deletePressed;

    // Line coordinates to the widget's pixels and back, as the letters are drawn now.
    QPointF toWidget(text::Pt p) const;
    text::Pt toLine(QPointF p) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void place();  // the transform that fits the letters' extent into the widget

    const text::Lettering* lettering_ = nullptr;
    std::optional<text::BridgeRef> selected_;
    double xmin_ = 0, xmax_ = 0, ymin_ = 0, ymax_ = 0;  // the letters' extent
    QTransform toWidget_;
    bool dragging_ = false;
};

}  // namespace text_qt
