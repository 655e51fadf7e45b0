#include "app/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>
#include <QToolButton>
#include <memory>

#include "app/guard.h"
#include "app/icons.h"
#include "app/render.h"
#include "app/widgets.h"
#include "app/shape_picture.h"

namespace app {

namespace {
constexpr int px(int twips) { return (twips + shell::kTwipsPerPixel / 2) / shell::kTwipsPerPixel; }

// A caption and the named text box beside it.
QLineEdit* labelledEdit(QWidget* parent, const char* caption, const char* name, QRect captionRect, QRect editRect) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(captionRect);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(editRect);
    return edit;
}
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

void MainWindow::buildWidgets() {
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

    auto* central = new QWidget(this);
    setCentralWidget(central);

    bild1_ = new PreviewWidget(central, session_->picture());
    bild1_->move(10, 10);
    bild1_->onMouseDown = [this](int button, double x, double y) {
        guarded([&] { session_->zoom().mouseDown(button, x, y); });
    };
    bild1_->onMouseMove = [this](double x, double y) { guardEvent([&] { session_->zoom().mouseMove(x, y); }); };
    qApp->installEventFilter(this);

    label2_ = new QLabel(central);
    label2_->setObjectName("Label2");
    label2_->setGeometry(20, 20, 400, 20);

    texth_ = labelledEdit(central, "Height (inches):", "Texth", {10, 500, 110, 24}, {120, 500, 100, 24});
    texth_->setReadOnly(true);
    textv_ = labelledEdit(central, "Width (inches):", "Textv", {240, 500, 110, 24}, {350, 500, 100, 24});
    textv_->setReadOnly(true);
    const struct {
        const char* name;
        const char* tip;
        IconKind icon;
        std::function<void(shell::Session&)> handler;
    } zooms[] = {{"Picture17", "Zoom in", IconKind::ZoomIn, [](shell::Session& s) { s.zoom().zoomIn(); }},
                 {"Picture11", "Zoom out", IconKind::ZoomOut, [](shell::Session& s) { s.zoom().zoomOut(); }},
                 {"Picture9", "Fit the view to the letters", IconKind::Fit, &shell::Session::clickPicture9},
                 {"Picture1", "Redraw", IconKind::Redraw, &shell::Session::clickPicture1}};
    for (int i = 0; i < 4; ++i)
        pictureButton(central, zooms[i].name, zooms[i].tip, drawnIcon(zooms[i].icon), {500 + i * 38, 495, 34, 34},
                      zooms[i].handler);

    const int x = 665, w = 310;
    auto* frame5 = new ClickFrame("View shape ", central, [this] { run(&shell::Session::clickFrame5); });
    frame5->setObjectName("Frame5");
    frame5->setGeometry(x, 10, w, 50);
    check1_ = new QCheckBox("On", frame5);
    check1_->setObjectName("Check1");
    check1_->move(10, 22);

    check3_ = new QCheckBox("Fit in", central);
    check3_->setObjectName("Check3");
    check3_->move(x + 10, 70);

    frame11_ = new QGroupBox("<-------      Knot     ------->", central);
    frame11_->setObjectName("Frame11");
    frame11_->setGeometry(x, 95, w, 55);
    hscroll1_ = new QScrollBar(Qt::Horizontal, central);
    hscroll1_->setObjectName("HScroll1");
    keyboardSlider(hscroll1_);
    hscroll1_->setGeometry(x + 10, 120, w - 20, 18);

    auto* frame7 = new ClickFrame("Width of apertures b", central, [this] { run(&shell::Session::openApertureDialog); });
    frame7->setObjectName("Frame7");
    frame7->setGeometry(x, 160, w, 55);
    text4_ = new QLineEdit(frame7);
    text4_->setObjectName("Text4");
    text4_->setGeometry(10, 22, 100, 24);
    pictureButton(frame7, "Picture6", "Width of the apertures", drawnIcon(IconKind::Aperture), {120, 18, 30, 30},
                  &shell::Session::openApertureDialog);
    auto* picture15 = pictureButton(frame7, "Picture15", "Change the width of the apertures", QIcon(), {155, 18, 40, 30},
                                    &shell::Session::openApertureDialog);
    picture15->setText("b ...");

    check2_ = new QCheckBox("Contour connection", central);
    check2_->setObjectName("Check2");
    check2_->move(x + 10, 225);
    picture4_ = pictureButton(central, "Picture4", "Join the letters with a connection bar", QIcon(),
                              {x, 250, w, 150}, &shell::Session::clickPicture4);
    picture4_->setIconSize(QSize(w - 12, 138));
    picture4_->setIcon(QIcon(QPixmap::fromImage(shapePicture(0, picture4_->iconSize() * devicePixelRatioF(), true))));

    frame9_ = new QGroupBox("Contour connection", central);
    frame9_->setObjectName("Frame9");
    frame9_->setGeometry(x, 250, w, 200);
    text5_ = labelledEdit(frame9_, "Distance to baseline:", "Text5", {10, 25, 150, 22}, {170, 25, 80, 22});
    text6_ = labelledEdit(frame9_, "Connection width:", "Text6", {10, 55, 150, 22}, {170, 55, 80, 22});
    hscroll2_ = new QScrollBar(Qt::Horizontal, frame9_);
    hscroll2_->setObjectName("HScroll2");
    keyboardSlider(hscroll2_);
    hscroll2_->setGeometry(10, 85, w - 20, 18);
    command2_ = new QPushButton("= 0", frame9_);
    command2_->setObjectName("Command2");
    command2_->setGeometry(10, 112, 60, 26);
    command4_ = new QPushButton("Apply", frame9_);
    command4_->setObjectName("Command4");
    command4_->setGeometry(80, 112, 80, 26);
    check4_ = new QCheckBox("Cut", frame9_);
    check4_->setObjectName("Check4");
    check4_->move(10, 145);
    label1_ = new QLabel(frame9_);
    label1_->setObjectName("Label1");
    label1_->setGeometry(10, 170, w - 20, 22);

    check5_ = new QCheckBox("Create as one object", central);
    check5_->setObjectName("Check5");
    check5_->move(x + 10, 460);

    auto* frame4 = new ClickFrame("Sign distance d", central, [this] { run(&shell::Session::openSignDistanceDialog); });
    frame4->setObjectName("Frame4");
    frame4->setGeometry(x, 490, w, 55);
    pictureButton(frame4, "Picture3", "Letter spacing", drawnIcon(IconKind::Spacing), {10, 18, 30, 30},
                  &shell::Session::openSignDistanceDialog);
    auto* picture10 = pictureButton(frame4, "Picture10", "Change the distances between the letters", QIcon(),
                                    {45, 18, 40, 30}, &shell::Session::openSignDistanceDialog);
    picture10->setText("d ...");

    pictureButton(central, "Picture8", "Back to the text settings", drawnIcon(IconKind::Back),
                                   {x, 640, 60, 48}, &shell::Session::returnToTextStage);
    auto* bild2 = pictureButton(central, "Bild2", "Write the hand-over files and start the drawing for the cutter",
                                QIcon(), {x + 70, 640, w - 70, 48}, &shell::Session::clickBild2);
    bild2->setText("Start convert");
    QFont bold = bild2->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    bild2->setFont(bold);

    // the gallery: twenty shape pictures in two rows below the preview
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

    bindCheck(check1_, session_->controls().Check1);
    bindCheck(check2_, session_->controls().Check2);
    bindCheck(check3_, session_->controls().Check3);
    bindCheck(check4_, session_->controls().Check4);
    bindCheck(check5_, session_->controls().Check5);
    connect(text4_, &QLineEdit::textEdited, this,
            [this](const QString& t) { guarded([&] { session_->controls().Text4.set(t.toStdString()); }); });
    // leaving a connection box, "Apply" and "= 0" take the connection values
    for (const auto& box : {std::pair{text5_, &session_->controls().Text5}, std::pair{text6_, &session_->controls().Text6}}) {
        // named copies: a lambda may not capture a structured binding in every compiler the build takes
        QLineEdit* const edit = box.first;
        shell::Control<std::string>* const control = box.second;
        connect(edit, &QLineEdit::textEdited, this,
                [control](const QString& t) { guardEvent([&] { control->set(t.toStdString()); }); });
        // a message box of the check takes the focus away again: one check at a time
        connect(edit, &QLineEdit::editingFinished, this, [this, busy = std::make_shared<bool>(false)] {
            if (*busy) return;
            *busy = true;
            guarded([this] { session_->applyConnectionValues(); });
            *busy = false;
        });
    }
    connect(command4_, &QPushButton::clicked, this, [this] { run(&shell::Session::applyConnectionValues); });
    connect(command2_, &QPushButton::clicked, this, [this] { run(&shell::Session::clickCommand2); });
    connect(hscroll1_, &QScrollBar::valueChanged, this,
            [this](int v) { guarded([&] { session_->controls().HScroll1.set(v); }); });
    connect(hscroll2_, &QScrollBar::valueChanged, this,
            [this](int v) { guarded([&] { session_->controls().HScroll2.set(v); }); });
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

QToolButton* MainWindow::pictureButton(QWidget* parent, const char* name, const QString& tip, const QIcon& icon,
                                       QRect geometry, std::function<void(shell::Session&)> handler) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setIcon(icon);
    b->setIconSize(geometry.size() - QSize(8, 8));
    b->setGeometry(geometry);
    b->setProperty(kPictureProperty, true);
    connect(b, &QToolButton::clicked, this, [this, handler = std::move(handler)] { run(handler); });
    return b;
}

void MainWindow::bindCheck(QCheckBox* box, shell::Control<int>& control) {
    connect(box, &QCheckBox::clicked, this, [this, &control](bool on) { guarded([&] { control.set(on ? 1 : 0); }); });
}

void MainWindow::refreshFromControls() {
    const shell::Controls& c = session_->controls();
    auto setCheck = [](QCheckBox* b, const shell::Control<int>& v) {
        const QSignalBlocker block(b);
        b->setCheckState(v.value() == 1 ? Qt::Checked : v.value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        b->setVisible(v.visible);
    };
    setCheck(check1_, c.Check1);
    setCheck(check2_, c.Check2);
    setCheck(check3_, c.Check3);
    setCheck(check4_, c.Check4);
    setCheck(check5_, c.Check5);
    auto setText = [](QLineEdit* e, const shell::Control<std::string>& v) {
        const QSignalBlocker block(e);
        const QString t = QString::fromStdString(v.value());
        if (e->text() != t) e->setText(t);
        e->setVisible(v.visible);
    };
    setText(texth_, c.Texth);
    setText(textv_, c.Textv);
    setText(text4_, c.Text4);
    setText(text5_, c.Text5);
    setText(text6_, c.Text6);
    auto setScroll = [](QScrollBar* s, const shell::ScrollBar& v) {
        const QSignalBlocker block(s);
        s->setRange(v.min(), v.max());
        s->setValue(v.value());
        s->setVisible(v.visible);
    };
    setScroll(hscroll1_, c.HScroll1);
    setScroll(hscroll2_, c.HScroll2);
    label1_->setText(QString::fromStdString(c.Label1.value()));
    label1_->setVisible(c.Label1.visible);
    label2_->setText(QString::fromStdString(c.Label2.value()));
    label2_->setVisible(c.Label2.visible);
    for (int i = 0; i < static_cast<int>(gallery_.size()); ++i) gallery_[i]->setChecked(i == session_->model().shapeNumber);
    frame9_->setVisible(c.Frame9);
    frame11_->setVisible(c.Frame11);
    command2_->setVisible(c.Command2);
    command4_->setVisible(c.Command4);
    picture4_->setVisible(c.Picture4);
    bild1_->setVisible(c.Bild1);
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
