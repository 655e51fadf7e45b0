// Where the main window's widgets stand, and how the window fits the screen: the frames keep
// their contents in layouts of their own; the options stand in one column (or two, see
// arrange) right of the preview, the gallery under it.
#include <QMenuBar>
#include <QScreen>

#include "preview_qt/shape_picture.h"
#include "shapes_qt/mainwindow.h"
#include "shapes_qt/widgets.h"

namespace shapes_qt {

namespace {
constexpr int kColumnWidth = 310;  // the options' column at full size

// a hidden control keeps its place: nothing jumps
void keepPlace(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}
}  // namespace

// The connection's group (its boxes, slider, buttons, "Cut" and the bar's label) and the
// picture that stands in its place while the connection is off.
void MainWindow::buildConnectionLayout(QWidget* central) {
    const auto at = [central](const char* name) { return central->findChild<QWidget*>(name); };
    const auto caption = [central](const char* name) { return central->findChild<QWidget*>(QString(name) + kCaptionSuffix); };
    auto* connectionGrid = new QGridLayout(at("Frame9"));
    const auto mm = [central](const char* name) { return central->findChild<QWidget*>(QString(name) + "Mm"); };
    // each box with its millimetres under it
    connectionGrid->addWidget(caption("Text5"), 0, 0);
    connectionGrid->addWidget(at("Text5"), 0, 1);
    connectionGrid->addWidget(mm("Text5"), 1, 1);
    connectionGrid->addWidget(caption("Text6"), 2, 0);
    connectionGrid->addWidget(at("Text6"), 2, 1);
    connectionGrid->addWidget(mm("Text6"), 3, 1);
    connectionGrid->addWidget(at("HScroll2"), 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(at("Command2"));
    buttons->addWidget(at("Command4"));
    buttons->addStretch();
    connectionGrid->addLayout(buttons, 5, 0, 1, 2);
    connectionGrid->addWidget(at("Check4"), 6, 0, 1, 2);
    connectionGrid->addWidget(at("Label1"), 7, 0, 1, 2);
    connectionGrid->setColumnStretch(1, 1);
    for (const char* name : {"Check4", "Label1", "Text5", "Text6", "HScroll2", "Command2", "Command4"}) keepPlace(at(name));
    keepPlace(mm("Text5"));
    keepPlace(mm("Text6"));

    // the connection's group and its picture take turns in one place
    connectionSlot_ = new QWidget(central);
    auto* slot = new QGridLayout(connectionSlot_);
    slot->setContentsMargins(0, 0, 0, 0);
    slot->addWidget(at("Picture4"), 0, 0);
    slot->addWidget(at("Frame9"), 0, 0);
    keepPlace(at("Picture4"));
    keepPlace(at("Frame9"));
}

void MainWindow::buildLayouts(QWidget* central) {
    const auto at = [central](const char* name) { return central->findChild<QWidget*>(name); };

    auto* knotPointsRow = new QHBoxLayout(at("Frame5"));
    knotPointsRow->addWidget(at("Check1"));
    knotPointsRow->addStretch();

    knotValue_ = new QLabel(at("Frame11"));
    knotValue_->setObjectName("knotValue");
    knotValue_->setToolTip("Where the knot stands: the share of the slider's way, -100 % to 100 %");
    knotValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    knotValue_->setMinimumWidth(knotValue_->fontMetrics().horizontalAdvance("-100.0 %") + 4);
    auto* knotRow = new QHBoxLayout(at("Frame11"));
    knotRow->addWidget(at("HScroll1"), 1);
    knotRow->addWidget(knotValue_);
    keepPlace(at("Frame11"));

    auto* apertureRow = new QGridLayout(at("Frame7"));
    apertureRow->addWidget(at("Text4"), 0, 0);
    apertureRow->addWidget(central->findChild<QWidget*>("Text4Mm"), 1, 0);
    apertureRow->addWidget(at("Picture6"), 0, 1, 2, 1);
    apertureRow->addWidget(at("Picture15"), 0, 2, 2, 1);
    apertureRow->setColumnStretch(3, 1);

    auto* distancesRow = new QHBoxLayout(at("Frame4"));
    distancesRow->addWidget(at("Picture3"));
    distancesRow->addWidget(at("Picture10"));
    distancesRow->addStretch();

    buildConnectionLayout(central);

    bottom_ = new QWidget(central);
    auto* bottom = new QHBoxLayout(bottom_);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(at("Picture8"));
    bottom->addWidget(at("Bild2"), 1);
    at("Bild2")->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    dimensions_ = new QGridLayout;
    galleryGrid_ = new QGridLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(preview_, 0, Qt::AlignLeft | Qt::AlignTop);
    left->addLayout(dimensions_);
    left->addLayout(galleryGrid_);
    left->addStretch();
    galleryGrid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (int i = 0; i < static_cast<int>(gallery_.size()); ++i) galleryGrid_->addWidget(gallery_[i], i / 10, i % 10);

    columnA_ = new QVBoxLayout;
    columnB_ = new QVBoxLayout;
    outer_ = new QHBoxLayout(central);
    auto* outer = outer_;
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addLayout(left);
    outer->addLayout(columnA_, 1);
    outer->addLayout(columnB_, 1);
    at("Label2")->raise();  // over the preview
}

void MainWindow::arrange(bool compact) {
    const auto at = [this](const char* name) { return centralWidget()->findChild<QWidget*>(name); };
    const auto caption = [this](const char* name) {
        return centralWidget()->findChild<QWidget*>(QString(name) + kCaptionSuffix);
    };
    compact_ = compact;
    outer_->setStretchFactor(columnB_, compact ? 1 : 0);  // an empty second column takes no room
    for (QLayout* l : {static_cast<QLayout*>(columnA_), static_cast<QLayout*>(columnB_), static_cast<QLayout*>(dimensions_)})
        while (QLayoutItem* item = l->takeAt(0)) delete item;  // the widgets stay, the places go

    // the dimensions and the zoom pictures: one row, or two under a narrow preview
    const auto mm = [at](const char* name) { return at((std::string(name) + "Mm").c_str()); };
    // each box with its millimetres under it
    dimensions_->addWidget(caption("Texth"), 0, 0);
    dimensions_->addWidget(at("Texth"), 0, 1);
    dimensions_->addWidget(mm("Texth"), 1, 1);
    dimensions_->addWidget(caption("Textv"), compact ? 2 : 0, compact ? 0 : 2);
    dimensions_->addWidget(at("Textv"), compact ? 2 : 0, compact ? 1 : 3);
    dimensions_->addWidget(mm("Textv"), compact ? 3 : 1, compact ? 1 : 3);
    auto* zoom = new QHBoxLayout;
    zoom->addStretch();
    for (const char* name : {"Picture17", "Picture11", "Picture9", "Picture1"}) zoom->addWidget(at(name));
    dimensions_->addLayout(zoom, 0, compact ? 2 : 4, compact ? 4 : 2, 1);

    // the options: one column, or two side by side on a low screen
    for (const char* name : {"Frame5", "Check3", "Frame11", "Frame7"}) columnA_->addWidget(at(name));
    QVBoxLayout* second = compact ? columnB_ : columnA_;
    if (compact) {
        columnA_->addWidget(at("Frame4"));
    }
    second->addWidget(at("Check2"));
    second->addWidget(connectionSlot_);
    second->addWidget(at("Check5"));
    if (!compact) columnA_->addWidget(at("Frame4"));
    if (compact) columnB_->addStretch();
    columnA_->addStretch();
    columnA_->addWidget(bottom_);
}

void MainWindow::scaleTo(double scale, bool draw) {
    scale_ = scale;
    const auto scaled = [scale](int n) { return static_cast<int>(n * scale + 0.5); };
    preview_->setFixedSize(scaled(PreviewWidget::kFullSize.width()), scaled(PreviewWidget::kFullSize.height()));
    // the ten pictures of a row span the preview's width
    const int gap = std::max(2, scaled(4));
    const QSize cell((preview_->width() - 9 * gap) / 10, scaled(54));
    galleryGrid_->setSpacing(gap);
    for (QToolButton* shapeButton : gallery_) {
        shapeButton->setFixedSize(cell);
        shapeButton->setIconSize(cell - QSize(6, 6));
    }
    auto* connectionPicture = centralWidget()->findChild<QToolButton*>("Picture4");
    const QSize bar(scaled(kColumnWidth - 12), scaled(138));
    connectionPicture->setIconSize(bar);
    if (draw) {
        const qreal ratio = devicePixelRatioF();
        for (int i = 0; i < static_cast<int>(gallery_.size()); ++i)
            gallery_[i]->setIcon(QIcon(QPixmap::fromImage(preview_qt::shapePicture(i, gallery_[i]->iconSize() * ratio))));
        connectionPicture->setIcon(QIcon(QPixmap::fromImage(preview_qt::shapePicture(0, bar * ratio, true))));
        auto* status = centralWidget()->findChild<QWidget*>("Label2");
        status->setGeometry(preview_->x() + 10, preview_->y() + 10, std::min(400, preview_->width() - 20), status->sizeHint().height());
    }
}

// the least size the layouts take, the menu bar included: every text whole, nothing on another
QSize MainWindow::wantedSize() {
    for (QLayout* l : centralWidget()->findChildren<QLayout*>()) l->invalidate();
    QLayout* central = centralWidget()->layout();
    const QSize inside = central->totalMinimumSize();
    return {inside.width(), inside.height() + menuBar()->sizeHint().height()};
}

void MainWindow::fitTo(const QRect& area) {
    fitLeastSizes();
    const QSize full(twipsToPixels(shapes::kWindowWidthTwips), twipsToPixels(shapes::kWindowHeightTwips));
    const auto fits = [&](QSize s) { return s.width() <= area.width() && s.height() <= area.height(); };
    bool found = false;
    QSize want;
    for (bool compact : {false, true}) {
        arrange(compact);
        for (int step = 0; step <= 12 && !found; ++step) {
            scaleTo(1.0 - 0.05 * step, false);
            want = wantedSize();
            found = fits(want);
        }
        if (found) break;
    }
    // the fixed size where it fits; else as much of the area as the window may take
    fixedSize_ = want.expandedTo(full.boundedTo(area.size()));
    scaleTo(scale_, true);
    setFixedSize(fixedSize_);
    fittedArea_ = area;
    // the whole window inside the area, its top left corner first
    const QPoint frameCorner = geometry().topLeft() - pos();
    const QPoint place = placeInside(QRect(geometry().topLeft(), fixedSize_), area);
    if (place != geometry().topLeft()) move(place - frameCorner);
    centralWidget()->layout()->activate();
    scaleTo(scale_, true);
}

QRect MainWindow::availableArea() const {
    QScreen* s = screen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
    // before the window manager has framed the window, a frame as a common title bar makes it
    QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                   frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    if (frame.isNull()) frame = QMargins(4, 30, 4, 4);
    return area.marginsRemoved(frame);
}

}  // namespace shapes_qt
