// Form16, the main window: a thin binding of widgets to the session's controls.
#pragma once

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "shapes_qt/qtui.h"
#include "shapes/dimension_dialog.h"
#include "shapes/session.h"

namespace shapes_qt {

// The preview picture box: white, framed, 640 x 480.
// Mouse presses and moves over it go to the session, in picture coordinates.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    PreviewWidget(QWidget* parent, const preview::DisplayList& picture);
    static constexpr QSize kFullSize{640, 480};
    std::function<void(int button, double x, double y)> onMouseDown;
    std::function<void(double x, double y)> onMouseMove;
    enum class PanStep { Start, Move, End };
    std::function<void(PanStep step, double x, double y)> onPan;  // the middle button, or Space and the left one
    bool spaceHeld = false;  // Space is down while the pointer is over the preview

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    const preview::DisplayList& picture_;
};

// The pictures of the main window (the preview, the gallery, the picture buttons) carry this
// property; a wheel turn over any of them zooms the preview.
inline constexpr const char* kPictureProperty = "lkPicture";
// an edit's label is named after the edit, with this suffix
inline constexpr const char* kCaptionSuffix = "Caption";
// the boxes that hold inches: each has its millimetres beside it ("Text4Mm")
inline constexpr const char* kInchBoxes[] = {"Texth", "Textv", "Text4", "Text5", "Text6"};

// the window's measures in twips, as pixels
constexpr int twipsToPixels(int twips) { return (twips + shapes::kTwipsPerPixel / 2) / shapes::kTwipsPerPixel; }

// A frame that reacts to a click on its free area, as the option frames do.
class ClickFrame : public QGroupBox {
public:
    ClickFrame(const QString& caption, QWidget* parent, std::function<void()> onClick)
        : QGroupBox(caption, parent), onClick_(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::function<void()> onClick_;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // the program folder as the system's bytes, the command line as given
    MainWindow(const std::string& appFolder, const std::string& commandLine);
    ~MainWindow() override;
    shapes::Session& session() { return *session_; }
    bool terminated() const { return ui_.terminated; }

    // Sizes the window for an area of the screen (its frame taken off): the fixed size where it
    // fits, else the preview and the gallery shrink and, on a low screen, the options stand in
    // two columns, so that every control stays inside the area. Moves the window into the area.
    void fitTo(const QRect& area);
    // the screen's available area less the window's frame
    QRect availableArea() const;

public slots:
    void exitMenu();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    struct Row;  // one widget of the window: how it is made, what it runs, which control it shows
    static const std::vector<Row>& rows();

    void buildWidgets();
    void buildMenus();
    // "Edit" (undo and redo, named after the step) and "View" (zoom in, out and fit, with their keys)
    void buildEditMenus();
    void refreshUndo();  // the Edit menu names the steps to undo and redo
    void buddyCaptions(QWidget* central);  // each edit's caption takes the edit's focus with its mnemonic
    bool spaceOverPreview(QObject* watched, QEvent* e);  // Space over the preview: the left button pans
    void buildPreview(QWidget* central);
    void buildGallery(QWidget* central);
    void buildLayouts(QWidget* central);
    void buildConnectionLayout(QWidget* central);
    // the options in one column or two, the dimensions in one row or two
    void arrange(bool compact);
    // preview and gallery at `scale` of their full size; the pictures drawn anew when `draw`
    void scaleTo(double scale, bool draw);
    QSize wantedSize();
    void fitLeastSizes();  // the least sizes of the texts and the captioned pictures, from the font
    QWidget* makeWidget(const Row& row, QWidget* central);
    void bind(const Row& row, QWidget* widget);
    void refreshFromControls();
    void run(const std::function<void(shapes::Session&)>& handler);
    // one event: the handler under the fault guard, then the widgets follow the controls
    void guarded(const std::function<void()>& handler);

    QtUi ui_;
    std::unique_ptr<shapes::Session> session_;
    PreviewWidget* preview_ = nullptr;  // Bild1
    std::vector<QToolButton*> gallery_;
    QGridLayout* galleryGrid_ = nullptr;
    QGridLayout* dimensions_ = nullptr;
    QHBoxLayout* outer_ = nullptr;
    QVBoxLayout *columnA_ = nullptr, *columnB_ = nullptr;
    QWidget* connectionSlot_ = nullptr;  // Picture4 and Frame9 take turns in one place
    QWidget* bottom_ = nullptr;          // Picture8 and "Start convert"
    QLabel* knotValue_ = nullptr;        // the knot slider's position beside it
    QSize fixedSize_;
    QRect fittedArea_;
    double scale_ = 0;
    bool compact_ = false;
    std::vector<std::function<void()>> followers_;  // each bound widget follows its control
    bool closing_ = false;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
};

}  // namespace shapes_qt
