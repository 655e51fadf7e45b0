#include "app/mainwindow.h"

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

#include "app/guard.h"
#include "app/icons.h"
#include "app/render.h"
#include "app/widgets.h"
#include "app/shape_picture.h"

namespace app {

namespace {
constexpr int px(int twips) { return (twips + shell::kTwipsPerPixel / 2) / shell::kTwipsPerPixel; }
}  // namespace

PreviewWidget::PreviewWidget(QWidget* parent, const preview::DisplayList& picture)
    : QWidget(parent), picture_(picture) {
    setObjectName("Bild1");
    setFixedSize(640, 480);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setProperty(kPictureProperty, true);
}

void PreviewWidget::mousePressEvent(QMouseEvent* e) {
    const int button = e->button() == Qt::LeftButton ? shell::ViewZoom::kLeftButton
                       : e->button() == Qt::RightButton ? shell::ViewZoom::kRightButton
                                                        : 0;
    const QPointF p = e->position() * (preview::kPictureWidth / width());
    if (onMouseDown) onMouseDown(button, p.x(), p.y());
}

void PreviewWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = e->position() * (preview::kPictureWidth / width());
    if (onMouseMove) onMouseMove(p.x(), p.y());
}

void PreviewWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    renderPicture(p, QRectF(rect()), picture_);
}

MainWindow::MainWindow(const std::string& appFolder, const std::string& commandLine)
    : ui_(this), session_(std::make_unique<shell::Session>(appFolder, commandLine, ui_)) {
    setObjectName("Form16");
    setWindowTitle("LETTERKERF:  Shapes and sizes ");
    buildWidgets();
    ui_.onRedraw = [this] { bild1_->update(); };
    ui_.onControlsChanged = [this] { refreshFromControls(); };
    setFaultHandler([this] {
        session_->faultEscaped();
        refreshFromControls();
    });

    // the work folder first: a second program on it says so and ends before a file is touched
    if (!session_->claimWorkFolder()) return;
    const shell::WindowPlace place = session_->load();
    move(px(place.leftTwips), px(place.topTwips));
    setFixedSize(px(shell::kWindowWidthTwips), px(shell::kWindowHeightTwips));
    refreshFromControls();
}

MainWindow::~MainWindow() { setFaultHandler(nullptr); }

namespace {
using shell::Controls;
using Handler = std::function<void(shell::Session&)>;
// the control a widget shows: none, a check box's, a text's, a slider's, or a visibility
using Binding = std::variant<std::monostate, shell::Control<int> Controls::*, shell::Control<std::string> Controls::*,
                             shell::ScrollBar Controls::*, bool Controls::*>;

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
    const char* parent;  // the frame it sits in (its object name); nullptr: the window
    QRect place;         // an empty size: the widget's own size at that point
    const char* caption = nullptr;  // the widget's text; an edit's label, at captionPlace
    Binding control = {};
    Handler click = {};
    const char* tip = nullptr;
    std::optional<IconKind> icon = {};
    QRect captionPlace = {};
};

namespace {
constexpr int kColumn = 665, kColumnWidth = 310;  // the right column
}  // namespace

// Every widget of the window but the menus, the preview and the gallery, in the order they are
// made (the order Tab goes through them).
const std::vector<MainWindow::Row>& MainWindow::rows() {
    using F = Face;
    using S = shell::Session;
    constexpr int x = kColumn, w = kColumnWidth;
    static const std::vector<Row> table = {
        {F::Made, "Bild1", nullptr, {}, nullptr, &Controls::Bild1},
        {F::Label, "Label2", nullptr, {20, 20, 400, 20}, nullptr, &Controls::Label2},
        {F::ReadOnly, "Texth", nullptr, {120, 500, 100, 24}, "Height (inches):", &Controls::Texth, {}, nullptr, {}, QRect(10, 500, 110, 24)},
        {F::ReadOnly, "Textv", nullptr, {350, 500, 100, 24}, "Width (inches):", &Controls::Textv, {}, nullptr, {}, QRect(240, 500, 110, 24)},
        {F::Picture, "Picture17", nullptr, {500, 495, 34, 34}, nullptr, {}, [](S& s) { s.zoom().zoomIn(); }, "Zoom in", IconKind::ZoomIn},
        {F::Picture, "Picture11", nullptr, {538, 495, 34, 34}, nullptr, {}, [](S& s) { s.zoom().zoomOut(); }, "Zoom out", IconKind::ZoomOut},
        {F::Picture, "Picture9", nullptr, {576, 495, 34, 34}, nullptr, {}, &S::clickPicture9, "Fit the view to the letters", IconKind::Fit},
        {F::Picture, "Picture1", nullptr, {614, 495, 34, 34}, nullptr, {}, &S::clickPicture1, "Redraw", IconKind::Redraw},
        {F::Frame, "Frame5", nullptr, {x, 10, w, 50}, "View shape ", {}, &S::clickFrame5},
        {F::Check, "Check1", "Frame5", {10, 22, 0, 0}, "On", &Controls::Check1},
        {F::Check, "Check3", nullptr, {x + 10, 70, 0, 0}, "Fit in", &Controls::Check3},
        {F::Group, "Frame11", nullptr, {x, 95, w, 55}, "<-------      Knot     ------->", &Controls::Frame11},
        {F::Scroll, "HScroll1", nullptr, {x + 10, 120, w - 20, 18}, nullptr, &Controls::HScroll1},
        {F::Frame, "Frame7", nullptr, {x, 160, w, 55}, "Width of apertures b", {}, &S::openApertureDialog},
        {F::Edit, "Text4", "Frame7", {10, 22, 100, 24}, nullptr, &Controls::Text4},
        {F::Picture, "Picture6", "Frame7", {120, 18, 30, 30}, nullptr, {}, &S::openApertureDialog, "Width of the apertures", IconKind::Aperture},
        {F::Picture, "Picture15", "Frame7", {155, 18, 40, 30}, "b ...", {}, &S::openApertureDialog, "Change the width of the apertures"},
        {F::Check, "Check2", nullptr, {x + 10, 225, 0, 0}, "Contour connection", &Controls::Check2},
        {F::Picture, "Picture4", nullptr, {x, 250, w, 150}, nullptr, &Controls::Picture4, &S::clickPicture4, "Join the letters with a connection bar"},
        {F::Group, "Frame9", nullptr, {x, 250, w, 200}, "Contour connection", &Controls::Frame9},
        {F::EditApplied, "Text5", "Frame9", {170, 25, 80, 22}, "Distance to baseline:", &Controls::Text5, {}, nullptr, {}, QRect(10, 25, 150, 22)},
        {F::EditApplied, "Text6", "Frame9", {170, 55, 80, 22}, "Connection width:", &Controls::Text6, {}, nullptr, {}, QRect(10, 55, 150, 22)},
        {F::Scroll, "HScroll2", "Frame9", {10, 85, w - 20, 18}, nullptr, &Controls::HScroll2},
        {F::Button, "Command2", "Frame9", {10, 112, 60, 26}, "= 0", &Controls::Command2, &S::clickCommand2},
        {F::Button, "Command4", "Frame9", {80, 112, 80, 26}, "Apply", &Controls::Command4, &S::applyConnectionValues},
        {F::Check, "Check4", "Frame9", {10, 145, 0, 0}, "Cut", &Controls::Check4},
        {F::Label, "Label1", "Frame9", {10, 170, w - 20, 22}, nullptr, &Controls::Label1},
        {F::Check, "Check5", nullptr, {x + 10, 460, 0, 0}, "Create as one object", &Controls::Check5},
        {F::Frame, "Frame4", nullptr, {x, 490, w, 55}, "Sign distance d", {}, &S::openSignDistanceDialog},
        {F::Picture, "Picture3", "Frame4", {10, 18, 30, 30}, nullptr, {}, &S::openSignDistanceDialog, "Letter spacing", IconKind::Spacing},
        {F::Picture, "Picture10", "Frame4", {45, 18, 40, 30}, "d ...", {}, &S::openSignDistanceDialog, "Change the distances between the letters"},
        {F::Picture, "Picture8", nullptr, {x, 640, 60, 48}, nullptr, {}, &S::returnToTextStage, "Back to the text settings", IconKind::Back},
        {F::Picture, "Bild2", nullptr, {x + 70, 640, w - 70, 48}, "Start convert", {}, &S::clickBild2, "Write the hand-over files and start the drawing for the cutter"},
    };
    return table;
}

void MainWindow::buildWidgets() {
    buildMenus();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildPreview(central);
    for (const Row& row : rows()) bind(row, makeWidget(row, central));

    auto* picture4 = findChild<QToolButton*>("Picture4");
    picture4->setIconSize(QSize(kColumnWidth - 12, 138));
    picture4->setIcon(QIcon(QPixmap::fromImage(shapePicture(0, picture4->iconSize() * devicePixelRatioF(), true))));
    auto* bild2 = findChild<QToolButton*>("Bild2");
    QFont bold = bild2->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    bild2->setFont(bold);
    buildGallery(central);
}

void MainWindow::buildMenus() {
    auto* exit = menuBar()->addAction("Exit");
    exit->setObjectName("endes");
    connect(exit, &QAction::triggered, this, &MainWindow::exitMenu);
    auto* presetting = menuBar()->addAction("Presetting");
    presetting->setObjectName("konvein");
    connect(presetting, &QAction::triggered, this, [this] { run(&shell::Session::openPresetting); });
    QMenu* info = menuBar()->addMenu("Info");
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
}

void MainWindow::buildPreview(QWidget* central) {
    bild1_ = new PreviewWidget(central, session_->picture());
    bild1_->move(10, 10);
    bild1_->onMouseDown = [this](int button, double x, double y) {
        guarded([&] { session_->zoom().mouseDown(button, x, y); });
    };
    bild1_->onMouseMove = [this](double x, double y) { guardEvent([&] { session_->zoom().mouseMove(x, y); }); };
    qApp->installEventFilter(this);
}

// the gallery: twenty shape pictures in two rows below the preview
void MainWindow::buildGallery(QWidget* central) {
    constexpr int kPerRow = 10, kCellW = 64, kCellH = 58;
    for (int i = 0; i < shell::kShapeCount; ++i) {
        auto* pic = new QToolButton(central);
        pic->setObjectName(QString("auswahl_%1").arg(i));
        pic->setToolTip(QString("Shape %1").arg(i));
        pic->setGeometry(10 + (i % kPerRow) * kCellW, 540 + (i / kPerRow) * kCellH, kCellW - 4, kCellH - 4);
        pic->setIconSize(QSize(kCellW - 10, kCellH - 10));
        pic->setProperty(kPictureProperty, true);
        pic->setCheckable(true);  // the chosen shape stays marked
        gallery_.push_back(pic);
        pic->setIcon(QIcon(QPixmap::fromImage(shapePicture(i, pic->iconSize() * devicePixelRatioF()))));
        connect(pic, &QToolButton::clicked, this, [this, i] { guarded([&] { session_->galleryClick(i); }); });
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
            if (row.caption) (new QLabel(row.caption, parent))->setGeometry(row.captionPlace);
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(row.face == Face::ReadOnly);
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
            b->setToolTip(row.tip);
            if (row.icon) b->setIcon(drawnIcon(*row.icon));
            if (row.caption) b->setText(row.caption);
            b->setIconSize(row.place.size() - QSize(8, 8));
            b->setProperty(kPictureProperty, true);
            w = b;
            break;
        }
        case Face::Made: return findChild<QWidget*>(row.name);
    }
    w->setObjectName(row.name);
    if (row.place.size().isEmpty())
        w->move(row.place.topLeft());
    else
        w->setGeometry(row.place);
    return w;
}

// the user's changes reach the control (its handler runs), and the widget follows the control
void MainWindow::bind(const Row& row, QWidget* widget) {
    Controls& c = session_->controls();
    if (auto* b = qobject_cast<QAbstractButton*>(widget); b && row.click)
        connect(b, &QAbstractButton::clicked, this, [this, &row] { run(row.click); });
    if (auto* p = std::get_if<bool Controls::*>(&row.control)) {
        bool& shown = c.**p;
        followers_.push_back([widget, &shown] { widget->setVisible(shown); });
    } else if (auto* p = std::get_if<shell::Control<int> Controls::*>(&row.control)) {
        shell::Control<int>& control = c.**p;
        auto* box = static_cast<QCheckBox*>(widget);
        connect(box, &QCheckBox::clicked, this, [this, &control](bool on) { guarded([&] { control.set(on ? 1 : 0); }); });
        followers_.push_back([box, &control] { follow(box, control); });
    } else if (auto* p = std::get_if<shell::ScrollBar Controls::*>(&row.control)) {
        shell::ScrollBar& control = c.**p;
        auto* scroll = static_cast<QScrollBar*>(widget);
        connect(scroll, &QScrollBar::valueChanged, this, [this, &control](int v) { guarded([&] { control.set(v); }); });
        followers_.push_back([scroll, &control] { follow(scroll, control); });
    } else if (auto* p = std::get_if<shell::Control<std::string> Controls::*>(&row.control)) {
        shell::Control<std::string>& control = c.**p;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            followers_.push_back([label, &control] { follow(label, control); });
            return;
        }
        auto* edit = static_cast<QLineEdit*>(widget);
        followers_.push_back([edit, &control] { follow(edit, control); });
        if (row.face == Face::Edit)
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &control](const QString& t) { guarded([&] { control.set(t.toStdString()); }); });
        if (row.face != Face::EditApplied) return;
        connect(edit, &QLineEdit::textEdited, this,
                [&control](const QString& t) { guardEvent([&] { control.set(t.toStdString()); }); });
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

void MainWindow::run(const std::function<void(shell::Session&)>& handler) {
    guarded([&] { handler(*session_); });
}

void MainWindow::guarded(const std::function<void()>& handler) {
    guardEvent(handler);
    guardEvent([this] { refreshFromControls(); });
}

void MainWindow::refreshFromControls() {
    for (const auto& follow : followers_) follow();
    for (int i = 0; i < static_cast<int>(gallery_.size()); ++i) gallery_[i]->setChecked(i == session_->model().shapeNumber);
}

bool MainWindow::event(QEvent* e) {
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
    if (e->type() != QEvent::Wheel || !session_) return QMainWindow::eventFilter(watched, e);
    auto* wheel = static_cast<QWheelEvent*>(e);
    QWidget* under = QApplication::widgetAt(wheel->globalPosition().toPoint());
    while (under && !under->property(kPictureProperty).toBool()) under = under->parentWidget();
    const bool overPicture = under && under->window() == this && under->isVisible();
    const int rotation = wheel->angleDelta().y();
    bool zoomed = false;
    if (rotation != 0) guardEvent([&] { zoomed = session_->zoom().mausrad(rotation, overPicture); });
    if (!zoomed) return QMainWindow::eventFilter(watched, e);
    guardEvent([this] { refreshFromControls(); });
    return true;
}

void MainWindow::paintEvent(QPaintEvent* e) {
    setFixedSize(px(shell::kWindowWidthTwips), px(shell::kWindowHeightTwips));
    guardEvent([this] { session_->paintEvent(); });
    QMainWindow::paintEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!closing_ && !ui_.terminated) {
        closing_ = true;
        guardEvent([this] { session_->closeWindow(); });
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

}  // namespace app
