#include "shapes_qt/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <memory>
#include <optional>
#include <variant>

#include "suite_qt/guard.h"
#include "suite_qt/keys.h"
#include "shapes_qt/icons.h"
#include "preview_qt/render.h"
#include "shapes_qt/widgets.h"
#include "shapes/shape_words.h"

namespace shapes_qt {

PreviewWidget::PreviewWidget(QWidget* parent, const preview::DisplayList& picture)
    : QWidget(parent), picture_(picture) {
    setObjectName("Bild1");
    setFixedSize(640, 480);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setProperty(kPictureProperty, true);
}

void PreviewWidget::mousePressEvent(QMouseEvent* e) {
    const QPointF at = e->position() * (preview::kPictureWidth / width());
    // the middle button, or Space with the left one, drags the view
    if (e->button() == Qt::MiddleButton || (e->button() == Qt::LeftButton && spaceHeld)) {
        if (onPan) onPan(PanStep::Start, at.x(), at.y());
        return;
    }
    const int button = e->button() == Qt::LeftButton ? shapes::ViewZoom::kLeftButton
                       : e->button() == Qt::RightButton ? shapes::ViewZoom::kRightButton
                                                        : 0;
    const QPointF p = e->position() * (preview::kPictureWidth / width());
    if (onMouseDown) onMouseDown(button, p.x(), p.y());
}

void PreviewWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF at = e->position() * (preview::kPictureWidth / width());
    if (onPan && (e->button() == Qt::MiddleButton || e->button() == Qt::LeftButton)) onPan(PanStep::End, at.x(), at.y());
}

void PreviewWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = e->position() * (preview::kPictureWidth / width());
    if (onPan && (e->buttons() & (Qt::MiddleButton | Qt::LeftButton))) onPan(PanStep::Move, p.x(), p.y());
    if (onMouseMove) onMouseMove(p.x(), p.y());
}

void PreviewWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    preview_qt::renderPicture(p, QRectF(rect()), picture_);
}

MainWindow::MainWindow(const std::string& appFolder, const std::string& commandLine)
    : ui_(this), session_(std::make_unique<shapes::Session>(appFolder, commandLine, ui_)) {
    setObjectName("Form16");
    setWindowTitle("LETTERKERF:  Shapes and sizes ");
    buildWidgets();
    ui_.onRedraw = [this] { preview_->update(); };
    ui_.onControlsChanged = [this] { refreshFromControls(); };
    suite_qt::setFaultHandler([this] {
        session_->faultEscaped();
        refreshFromControls();
    });

    fixedSize_ = QSize(twipsToPixels(shapes::kWindowWidthTwips), twipsToPixels(shapes::kWindowHeightTwips));
    // the work folder first: a second program on it says so and ends before a file is touched
    if (!session_->claimWorkFolder()) return;
    const shapes::WindowPlace place = session_->load();
    move(twipsToPixels(place.leftTwips), twipsToPixels(place.topTwips));
    fitTo(availableArea());
    refreshFromControls();
}

MainWindow::~MainWindow() { suite_qt::setFaultHandler(nullptr); }

namespace {
using shapes::Controls;
using Handler = std::function<void(shapes::Session&)>;
// the control a widget shows: none, a check box's, a text's, a slider's, or a visibility
using Binding = std::variant<std::monostate, shapes::Control<int> Controls::*, shapes::Control<std::string> Controls::*,
                             shapes::ScrollBar Controls::*, bool Controls::*>;

enum class Face {
    Check,        // QCheckBox, clicked into the control
    Edit,         // QLineEdit, typed into the control
    EditApplied,  // the same, and leaving it takes the connection values
    ReadOnly,     // QLineEdit showing its control
    Scroll,       // QScrollBar, moved into the control
    Label,        // QLabel showing its control
    Group,        // QGroupBox
    Button,       // QPushButton running a handler
    Frame,        // ClickFrame: a click on its free area runs a handler
    Picture,      // a tool button with a drawn icon and a tip, running a handler
    Made,         // made elsewhere: only bound to its control
};
}  // namespace

struct MainWindow::Row {
    Face face;
    const char* name;
    const char* parent;             // the frame it sits in (its object name); nullptr: the window
    const char* caption = nullptr;  // the widget's text; an edit's label beside it
    Binding control = {};
    Handler click = {};
    const char* tip = nullptr;      // what it does, with its unit
    std::optional<IconKind> icon = {};
    QSize size = {};                // a picture button's least size, a text box's least width
};

// Every widget of the window but the menus, the preview and the gallery, in the order they are
// made (the order Tab goes through them). Where they stand is buildLayouts' business.
const std::vector<MainWindow::Row>& MainWindow::rows() {
    using F = Face;
    using S = shapes::Session;
    static const std::vector<Row> table = {
        {F::Made, "Bild1", nullptr, nullptr, &Controls::Bild1, {},
         "The letters in the chosen shape. Left click: zoom in there; right click: zoom out; the wheel zooms too"},
        {F::Label, "Label2", nullptr, nullptr, &Controls::Label2},
        {F::ReadOnly, "Texth", nullptr, "Height (inches):", &Controls::Texth, {},
         "Height of the letters in their shape, in inches (measured; the heights H and h are set by clicking a shape)", {}, {70, 0}},
        {F::ReadOnly, "Textv", nullptr, "Width (inches):", &Controls::Textv, {},
         "Width of the letters in their shape, in inches (measured)", {}, {70, 0}},
        {F::Picture, "Picture17", nullptr, nullptr, {}, [](S& s) { s.zoom().zoomIn(); }, "Zoom in on the preview", IconKind::ZoomIn, {34, 34}},
        {F::Picture, "Picture11", nullptr, nullptr, {}, [](S& s) { s.zoom().zoomOut(); }, "Zoom out of the preview", IconKind::ZoomOut, {34, 34}},
        {F::Picture, "Picture9", nullptr, nullptr, {}, &S::fitAndRedraw, "Fit the view to the letters", IconKind::Fit, {34, 34}},
        {F::Picture, "Picture1", nullptr, nullptr, {}, &S::redrawPreview, "Redraw the preview", IconKind::Redraw, {34, 34}},
        {F::Frame, "Frame5", nullptr, "View shape ", {}, &S::toggleKnotPoints},
        {F::Check, "Check1", "Frame5", "On", &Controls::Check1, {}, "Draw the points of the shape's outline in the preview"},
        {F::Check, "Check3", nullptr, "Fit in", &Controls::Check3, {},
         "Fit in: each letter is stretched to the full local height of the shape; clear: the text is scaled as a whole"},
        {F::Group, "Frame11", nullptr, "<-------      Knot     ------->", &Controls::Frame11},
        {F::Scroll, "HScroll1", "Frame11", nullptr, &Controls::HScroll1, {},
         "Moves the shape's knot left or right, by up to 0.45 of the width each way"},
        {F::Frame, "Frame7", nullptr, "Width of apertures b", {}, &S::openApertureDialog},
        {F::Edit, "Text4", "Frame7", nullptr, &Controls::Text4, {},
         "Width b of the apertures (the bridges that hold the inner parts of the letters), in inches", {}, {70, 0}},
        {F::Picture, "Picture6", "Frame7", nullptr, {}, &S::openApertureDialog,
         "Width of the apertures b, in inches: opens its dialog", IconKind::Aperture, {30, 30}},
        {F::Picture, "Picture15", "Frame7", "b ...", {}, &S::openApertureDialog,
         "Change the width b of the apertures, in inches", {}, {40, 30}},
        {F::Check, "Check2", nullptr, "Contour connection", &Controls::Check2, {},
         "Join the letters with a connection bar; its distance to the baseline and its width are in inches"},
        {F::Picture, "Picture4", nullptr, nullptr, &Controls::Picture4, &S::tickConnection,
         "Join the letters with a connection bar (ticks \"Contour connection\")", {}, {200, 100}},
        {F::Group, "Frame9", nullptr, "Contour connection", &Controls::Frame9},
        {F::EditApplied, "Text5", "Frame9", "Distance to baseline:", &Controls::Text5, {},
         "Distance of the connection bar from the baseline, in inches; taken when you leave the box", {}, {60, 0}},
        {F::EditApplied, "Text6", "Frame9", "Connection width:", &Controls::Text6, {},
         "Width of the connection bar, in inches; taken when you leave the box", {}, {60, 0}},
        {F::Scroll, "HScroll2", "Frame9", nullptr, &Controls::HScroll2, {},
         "Moves the connection bar up or down in steps; the distance to the baseline (inches) follows"},
        {F::Button, "Command2", "Frame9", "= 0", &Controls::Command2, &S::putBarOnBaseline,
         "Puts the connection bar on the baseline: distance 0 inches"},
        {F::Button, "Command4", "Frame9", "Apply", &Controls::Command4, &S::applyConnectionValues,
         "Takes the distance and the width of the connection bar (inches)"},
        {F::Check, "Check4", "Frame9", "Cut", &Controls::Check4, {},
         "Cut: only the pieces of the bar between neighbouring letters are kept"},
        {F::Label, "Label1", "Frame9", nullptr, &Controls::Label1},
        {F::Check, "Check5", nullptr, "Create as one object", &Controls::Check5, {},
         "Keep the letters together as one object (the connection bar needs it)"},
        {F::Frame, "Frame4", nullptr, "Sign distance d", {}, &S::openSignDistanceDialog},
        {F::Picture, "Picture3", "Frame4", nullptr, {}, &S::openSignDistanceDialog,
         "Letter spacing: opens the distances d between the letters", IconKind::Spacing, {30, 30}},
        {F::Picture, "Picture10", "Frame4", "d ...", {}, &S::openSignDistanceDialog,
         "Change the distances d between the letters, in inches", {}, {40, 30}},
        {F::Picture, "Picture8", nullptr, nullptr, {}, &S::returnToTextStage, "Back to the text settings", IconKind::Back, {60, 48}},
        {F::Picture, "Bild2", nullptr, "Start convert", {}, &S::startConvert,
         "Write the hand-over files and start the drawing for the cutter", {}, {160, 48}},
    };
    return table;
}

void MainWindow::buildWidgets() {
    buildMenus();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildPreview(central);
    for (const Row& row : rows()) bind(row, makeWidget(row, central));
    buddyCaptions(central);

    auto* convertButton = findChild<QToolButton*>("Bild2");
    QFont bold = convertButton->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    convertButton->setFont(bold);
    buildGallery(central);
    buildLayouts(central);
    suite_qt::addMnemonics(central);
    suite_qt::addMnemonics(menuBar());
}

void MainWindow::buildMenus() {
    auto* exit = menuBar()->addAction("E&xit");
    exit->setObjectName("endes");
    connect(exit, &QAction::triggered, this, &MainWindow::exitMenu);
    buildEditMenus();
    auto* presetting = menuBar()->addAction("&Presetting");
    presetting->setObjectName("konvein");
    connect(presetting, &QAction::triggered, this, [this] { run(&shapes::Session::openPresetting); });
    QMenu* info = menuBar()->addMenu("&Info");
    info->setObjectName("info");
    const auto help = [this](QMenu* menu, const char* name, const char* caption, const char* document) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, document] { guarded([&] { session_->openHelp(document); }); });
    };
    help(info, "overview", "Overview", "menu0.pdf");
    QMenu* menus = info->addMenu("Menus");
    menus->setObjectName("Menus");
    help(menus, "Hauptmen", "Main menu", "main.pdf");
    help(menus, "Textdefinition", "Text settings - Stencil fonts", "menu1.pdf");
    help(menus, "Schriftformen", "Shapes and sizes", "menu2.pdf");
    menus->findChild<QAction*>("Schriftformen")->setShortcut(QKeySequence::HelpContents);  // F1: this window's help
}

void MainWindow::buildPreview(QWidget* central) {
    preview_ = new PreviewWidget(central, session_->picture());
    preview_->onMouseDown = [this](int button, double x, double y) {
        guarded([&] { session_->zoom().mouseDown(button, x, y); });
    };
    preview_->onMouseMove = [this](double x, double y) { suite_qt::guardEvent([&] { session_->zoom().mouseMove(x, y); }); };
    preview_->onPan = [this](PreviewWidget::PanStep step, double x, double y) {
        suite_qt::guardEvent([&] {
            shapes::ViewZoom& z = session_->zoom();
            if (step == PreviewWidget::PanStep::Start) z.panStart(x, y);
            if (step == PreviewWidget::PanStep::Move) z.panTo(x, y);
            if (step == PreviewWidget::PanStep::End) z.panEnd();
        });
    };
    qApp->installEventFilter(this);
}

// the gallery: twenty shape pictures in two rows below the preview
void MainWindow::buildGallery(QWidget* central) {
    for (int i = 0; i < shapes::kShapeCount; ++i) {
        auto* shapeButton = new QToolButton(central);
        shapeButton->setObjectName(QString("auswahl_%1").arg(i));
        shapeButton->setToolTip(QString::fromStdString(shapes::shapeTooltip(i)));
        shapeButton->setProperty(kPictureProperty, true);
        shapeButton->setCheckable(true);  // the chosen shape stays marked
        gallery_.push_back(shapeButton);
        connect(shapeButton, &QToolButton::clicked, this, [this, i] { guarded([&] { session_->chooseShape(i); }); });
    }
}

QWidget* MainWindow::makeWidget(const Row& row, QWidget* central) {
    QWidget* parent = row.parent ? central->findChild<QWidget*>(row.parent) : central;
    QWidget* w = nullptr;
    switch (row.face) {
        case Face::Check: w = new QCheckBox(row.caption, parent); break;
        case Face::Edit:
        case Face::EditApplied:
        case Face::ReadOnly: {
            if (row.caption) {
                auto* caption = new QLabel(row.caption, parent);
                caption->setObjectName(QString(row.name) + kCaptionSuffix);
                if (row.tip) caption->setToolTip(row.tip);
            }
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(row.face == Face::ReadOnly);
            edit->setMinimumWidth(row.size.width());
            w = edit;
            break;
        }
        case Face::Scroll: {
            auto* scroll = new QScrollBar(Qt::Horizontal, parent);
            keyboardSlider(scroll);
            w = scroll;
            break;
        }
        case Face::Label: w = new QLabel(parent); break;
        case Face::Group: w = new QGroupBox(row.caption, parent); break;
        case Face::Button: w = new QPushButton(row.caption, parent); break;
        case Face::Frame: w = new ClickFrame(row.caption, parent, [this, &row] { run(row.click); }); break;
        case Face::Picture: {
            auto* b = new QToolButton(parent);
            if (row.icon) b->setIcon(drawnIcon(*row.icon));
            if (row.caption) b->setText(row.caption);
            b->setMinimumSize(row.size);
            b->setIconSize(row.size - QSize(8, 8));
            b->setProperty(kPictureProperty, true);
            w = b;
            break;
        }
        case Face::Made: w = findChild<QWidget*>(row.name); break;
    }
    w->setObjectName(row.name);
    if (row.tip) w->setToolTip(row.tip);
    for (const char* inches : kInchBoxes)
        if (std::string_view(inches) == row.name) millimetresBeside(static_cast<QLineEdit*>(w), parent);
    return w;
}

// the least sizes follow the font: a caption or a number is never cut
void MainWindow::fitLeastSizes() {
    for (const Row& row : rows()) {
        if (!row.size.isValid()) continue;
        QWidget* w = centralWidget()->findChild<QWidget*>(row.name);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setMinimumWidth(std::max(row.size.width(), edit->fontMetrics().horizontalAdvance(" 0000.0000") + 10));
        else if (auto* b = qobject_cast<QToolButton*>(w); b && row.caption)
            b->setMinimumSize(row.size.expandedTo(b->sizeHint()));
    }
}

// the user's changes reach the control (its handler runs), and the widget follows the control
void MainWindow::bind(const Row& row, QWidget* widget) {
    Controls& c = session_->controls();
    if (auto* b = qobject_cast<QAbstractButton*>(widget); b && row.click)
        connect(b, &QAbstractButton::clicked, this, [this, &row] { run(row.click); });
    if (auto* p = std::get_if<bool Controls::*>(&row.control)) {
        bool& shown = c.**p;
        followers_.push_back([widget, &shown] { widget->setVisible(shown); });
    } else if (auto* p = std::get_if<shapes::Control<int> Controls::*>(&row.control)) {
        shapes::Control<int>& control = c.**p;
        auto* box = static_cast<QCheckBox*>(widget);
        connect(box, &QCheckBox::clicked, this,
                [this, &control](bool on) { guarded([&] { session_->userSet(control, on ? 1 : 0); }); });
        followers_.push_back([box, &control] { follow(box, control); });
    } else if (auto* p = std::get_if<shapes::ScrollBar Controls::*>(&row.control)) {
        shapes::ScrollBar& control = c.**p;
        auto* scroll = static_cast<QScrollBar*>(widget);
        connect(scroll, &QScrollBar::valueChanged, this,
                [this, &control](int v) { guarded([&] { session_->userSet(control, v); }); });
        followers_.push_back([scroll, &control] { follow(scroll, control); });
    } else if (auto* p = std::get_if<shapes::Control<std::string> Controls::*>(&row.control)) {
        shapes::Control<std::string>& control = c.**p;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            followers_.push_back([label, &control] { follow(label, control); });
            return;
        }
        auto* edit = static_cast<QLineEdit*>(widget);
        followers_.push_back([edit, &control] { follow(edit, control); });
        if (row.face == Face::Edit)
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &control](const QString& t) { guarded([&] { session_->userSet(control, t.toStdString()); }); });
        if (row.face != Face::EditApplied) return;
        connect(edit, &QLineEdit::textEdited, this,
                [this, &control](const QString& t) {
                    suite_qt::guardEvent([&] { session_->userSet(control, t.toStdString()); });
                    refreshUndo();
                });
        // a message box of the check takes the focus away again: one check at a time
        connect(edit, &QLineEdit::editingFinished, this, [this, busy = std::make_shared<bool>(false)] {
            if (*busy) return;
            *busy = true;
            guarded([this] { session_->applyConnectionValues(); });
            *busy = false;
        });
    }
}

void ClickFrame::mouseReleaseEvent(QMouseEvent* e) {
    QGroupBox::mouseReleaseEvent(e);
    if (onClick_) onClick_();
}

void MainWindow::run(const std::function<void(shapes::Session&)>& handler) {
    guarded([&] { handler(*session_); });
}

void MainWindow::guarded(const std::function<void()>& handler) {
    suite_qt::guardEvent(handler);
    suite_qt::guardEvent([this] { refreshFromControls(); });
}

void MainWindow::refreshFromControls() {
    for (const auto& follow : followers_) follow();
    // the knot's position as a share of the slider's way
    knotValue_->setText(QString::number(session_->controls().HScroll1.value() / 10.0, 'f', 1) + " %");
    for (int i = 0; i < static_cast<int>(gallery_.size()); ++i) gallery_[i]->setChecked(i == session_->model().shapeNumber);
    refreshUndo();
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !ui_.terminated) {
        // the window manager's frame is known now, or the window went to another screen
        const QRect area = availableArea();
        if (area != fittedArea_) fitTo(area);
    }
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) {
        // The first activation runs once the window is up; later ones only reset a factor.
        QTimer::singleShot(0, this, [this] {
            if (!ui_.terminated) guarded([this] { session_->activate(); });
        });
    }
    return QMainWindow::event(e);
}

// The wheel, wherever the platform delivers it: a turn over a visible picture of this window
// zooms the preview about the last pointer position over it, and goes no further.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) return spaceOverPreview(watched, e);
    if (e->type() != QEvent::Wheel || !session_) return QMainWindow::eventFilter(watched, e);
    auto* wheel = static_cast<QWheelEvent*>(e);
    QWidget* under = QApplication::widgetAt(wheel->globalPosition().toPoint());
    while (under && !under->property(kPictureProperty).toBool()) under = under->parentWidget();
    const bool overPicture = under && under->window() == this && under->isVisible();
    const int rotation = wheel->angleDelta().y();
    bool zoomed = false;
    if (rotation != 0) suite_qt::guardEvent([&] { zoomed = session_->zoom().onWheel(rotation, overPicture); });
    if (!zoomed) return QMainWindow::eventFilter(watched, e);
    suite_qt::guardEvent([this] { refreshFromControls(); });
    return true;
}

void MainWindow::paintEvent(QPaintEvent* e) {
    setFixedSize(fixedSize_);
    suite_qt::guardEvent([this] { session_->paintEvent(); });
    QMainWindow::paintEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!closing_ && !ui_.terminated) {
        closing_ = true;
        suite_qt::guardEvent([this] { session_->closeWindow(); });
    }
    e->accept();
    qApp->quit();
}

void MainWindow::exitMenu() {
    guarded([this] { session_->exitMenu(); });
    if (ui_.terminated) {
        closing_ = true;
        close();
    }
}

}  // namespace shapes_qt
