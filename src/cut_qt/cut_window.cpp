#include "cut_qt/cut_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "cut_qt/picture.h"
#include "suite/programs.h"
#include "workfile/stage_files.h"
#include "cut/settings.h"
#include "cut/writers.h"

namespace cut_qt {

namespace fs = std::filesystem;

namespace {
constexpr double kWheelStep = 1.25;  // zoom per wheel notch
constexpr double kMaxZoom = 2000;
constexpr int kClickSlack = 4;       // pixels a click may move and still be a click
const char* const kTitle = "LETTERKERF: Cut drawing";

QString text(const std::string& s) { return QString::fromStdString(s); }
// "1 piece", "2 pieces"
QString counted(std::size_t n, const char* one, const char* many) { return QString("%1 %2").arg(n).arg(n == 1 ? one : many); }
}  // namespace

// ---- the view ------------------------------------------------------------------------

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(480, 360);
    setMouseTracking(false);
    setAutoFillBackground(false);
    setCursor(Qt::OpenHandCursor);
}

void DrawingView::setDrawing(const cut::Drawing* d, bool refit) {
    drawing_ = d;
    cut_ = d ? cutPath(*d) : QPainterPath();
    if (d) bounds_ = drawingBounds(*d);
    if (refit) fit();
    if (selected_ >= 0 && (!d || selected_ >= static_cast<int>(d->problems.size()))) selected_ = -1;
    update();
}

void DrawingView::fit() {
    zoom_ = 1;
    pan_ = {};
    update();
}

QTransform DrawingView::toView() const {
    QTransform t = fitTransform(bounds_, QSizeF(size()));
    return t * QTransform(zoom_, 0, 0, zoom_, pan_.x(), pan_.y());
}

void DrawingView::zoomBy(double factor, QPointF at) {
    const double z = std::clamp(zoom_ * factor, 1.0 / 8, kMaxZoom);
    factor = z / zoom_;
    // keep the point under `at` where it is
    pan_ = at - (at - pan_) * factor;
    zoom_ = z;
    update();
}

void DrawingView::select(int problem) {
    selected_ = problem;
    if (drawing_ && problem >= 0 && problem < static_cast<int>(drawing_->problems.size())) {
        const auto& p = drawing_->problems[static_cast<std::size_t>(problem)];
        QRectF box;
        for (const auto& ring : p.area)
            for (const auto& q : ring) box |= QRectF(QPointF(q.x, q.y), QSizeF(1e-6, 1e-6));
        // at least four times the problem's size, and never closer than 8x the whole
        const QTransform fitT = fitTransform(bounds_, QSizeF(size()));
        const double need = std::max(box.width(), box.height()) * 4 * fitT.m11();
        const double z = need > 0 ? std::clamp(std::min(width(), height()) / need, 1.0, 8.0) : 4.0;
        zoom_ = std::max(zoom_, z);
        const QPointF at = fitT.map(QPointF(p.place.x, p.place.y)) * zoom_;
        pan_ = QPointF(width() / 2.0, height() / 2.0) - at;
    }
    update();
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kOpening);
    if (!drawing_) {
        p.setPen(Qt::darkGray);
        p.drawText(rect(), Qt::AlignCenter, "No drawing");
        return;
    }
    paintDrawing(p, *drawing_, toView(), selected_, &cut_);
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DrawingView::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches != 0) zoomBy(std::pow(kWheelStep, notches), e->position());
    e->accept();
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
    pressAt_ = lastAt_ = e->pos();
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
}

void DrawingView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    pan_ += QPointF(e->pos() - lastAt_);
    lastAt_ = e->pos();
    update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
    if ((e->pos() - pressAt_).manhattanLength() > kClickSlack || !drawing_) return;
    // a click: the problem nearest to it, when it is within reach
    const QTransform t = toView();
    int best = -1;
    double bestD = 24 * 24;
    for (std::size_t i = 0; i < drawing_->problems.size(); ++i) {
        const QPointF c = t.map(QPointF(drawing_->problems[i].place.x, drawing_->problems[i].place.y));
        const QPointF d = c - e->position();
        const double dd = d.x() * d.x() + d.y() * d.y();
        if (dd < bestD) bestD = dd, best = static_cast<int>(i);
    }
    if (best >= 0) emit problemClicked(best);
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent*) { fit(); }

// ---- the window ----------------------------------------------------------------------

CutWindow::CutWindow(const Request& r, QWidget* parent)
    : QMainWindow(parent), request_(r), lock_(r.folder / "workfiles") {
    setWindowTitle(kTitle);
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->addWidget(buildBanner());
    auto* row = new QHBoxLayout;
    column->addLayout(row, 1);
    view_ = new DrawingView(central);
    row->addWidget(view_, 1);
    row->addWidget(buildSide(r));
    setCentralWidget(central);
    // fits a 1366 x 768 screen with its panel and the window's frame
    resize(1180, 660);
    bindKeys();

    connect(problems_, &QListWidget::currentRowChanged, view_, &DrawingView::select);
    connect(view_, &DrawingView::problemClicked, problems_, [this](int row) { problems_->setCurrentRow(row); });

    if (!claimFolder()) {
        refused_ = true;
        return;
    }
    // the settings of the last visit, unless the command line gave its own
    settings_ = cut::readSettings(r.folder / "workfiles");
    if (!r.window) restoreSettings();
    const auto changed = [this] {
        rebuild(false);
        remember();
        settingsChanged();
    };
    connect(kind_, &QComboBox::currentIndexChanged, this, changed);
    connect(kerf_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(minWidth_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(border_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(tabs_, &QCheckBox::toggled, this, changed);
    connect(sheetWidth_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(sheetHeight_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(tile_, &QCheckBox::toggled, this, changed);
    connect(reference_, &QCheckBox::toggled, this, [this] {
        remember();
        settingsChanged();
    });
    const std::string problem = reload();
    shown_ = shownSettings();
    if (!problem.empty()) QTimer::singleShot(0, this, [this, problem] { error(text(problem)); });
}

// The line at the top that says the drawing is out of date, with the way back to the shapes.
QWidget* CutWindow::buildBanner() {
    banner_ = new QWidget;
    banner_->setAutoFillBackground(true);
    QPalette pal = banner_->palette();
    pal.setColor(QPalette::Window, QColor(0xff, 0xe0, 0x80));
    pal.setColor(QPalette::WindowText, Qt::black);
    banner_->setPalette(pal);
    auto* line = new QHBoxLayout(banner_);
    bannerText_ = new QLabel;
    bannerText_->setWordWrap(true);
    line->addWidget(bannerText_, 1);
    auto* back = new QPushButton("Back to the shapes");
    back->setToolTip("Make the drawing again there with \"Start convert\"");
    line->addWidget(back);
    connect(back, &QPushButton::clicked, this, &CutWindow::back);
    banner_->hide();
    return banner_;
}

// The kind, kerf, border and tabs.
QLayout* CutWindow::buildSettings(const Request& r) {
    auto* form = new QFormLayout;
    kind_ = new QComboBox;
    kind_->addItem("Stencil (openings)");
    kind_->addItem("Lettering (parts)");
    kind_->setToolTip("Stencil: the letters are cut out of one sheet. Lettering: the letters and the bar are cut as parts.");
    form->addRow("Kind", kind_);
    kerf_ = new QDoubleSpinBox;
    kerf_->setRange(0, 5);
    kerf_->setDecimals(3);
    kerf_->setSingleStep(0.05);
    kerf_->setSuffix(" mm");
    kerf_->setValue(r.kerf);
    kerf_->setToolTip("Width of the cut; every outline moves by half of it so parts and openings keep their size");
    form->addRow("Kerf", kerf_);
    minWidth_ = new QDoubleSpinBox;
    minWidth_->setRange(0, cut::kMostMinWidth);
    minWidth_->setDecimals(2);
    minWidth_->setSingleStep(0.1);
    minWidth_->setSuffix(" mm");
    minWidth_->setValue(r.minWidth);
    minWidth_->setToolTip("Webs and bridges narrower than this, or than the kerf, are listed as thin material (orange)");
    form->addRow("Thinnest material", minWidth_);
    border_ = new QDoubleSpinBox;
    border_->setRange(-1, 1000);
    border_->setDecimals(1);
    border_->setSpecialValueText("none");
    border_->setSuffix(" mm");
    border_->setValue(r.border < 0 ? -1 : r.border);
    border_->setToolTip("Stencil: cut the sheet's edge at this margin around the letters");
    form->addRow("Sheet border", border_);
    tabs_ = new QCheckBox("Tabs for loose pieces");
    tabs_->setChecked(r.tabs);
    tabs_->setToolTip("Lettering: join every loose piece to its letter with a tab as wide as the apertures");
    form->addRow(tabs_);
    auto* sheet = new QHBoxLayout;
    sheetWidth_ = new QDoubleSpinBox;
    sheetHeight_ = new QDoubleSpinBox;
    for (QDoubleSpinBox* b : {sheetWidth_, sheetHeight_}) {
        b->setRange(0, 20000);
        b->setDecimals(0);
        b->setSpecialValueText("any");
        b->setSuffix(" mm");
        sheet->addWidget(b);
    }
    sheetWidth_->setValue(r.sheetWidth);
    sheetHeight_->setValue(r.sheetHeight);
    sheetWidth_->setToolTip("The largest sheet the machine takes: width");
    sheetHeight_->setToolTip("The largest sheet the machine takes: height");
    form->addRow("Sheet", sheet);
    tile_ = new QCheckBox("Tile onto sheets that fit");
    tile_->setChecked(r.tile);
    tile_->setToolTip("Stencil larger than the sheet: numbered sheets overlapping by 20 mm, with registration holes; "
                      "saving writes one file per sheet");
    form->addRow(tile_);
    reference_ = new QCheckBox("Reference layers");
    reference_->setChecked(r.referenceLayers);
    reference_->setToolTip("Also save the letters, bridges and bar as handed over, on layers that are off and not "
                           "plotted, so that the cutter never cuts them");
    form->addRow(reference_);
    return form;
}

// The settings, the problem list and the buttons beside the drawing.
QWidget* CutWindow::buildSide(const Request& r) {
    auto* side = new QVBoxLayout;
    side->addLayout(buildSettings(r));
    side->addWidget(new QLabel("Problems"));
    problems_ = new QListWidget;
    side->addWidget(problems_, 1);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    side->addWidget(summary_);
    auto* fitButton = new QPushButton("Fit");
    fitButton->setToolTip("Show the whole drawing (or double-click it)");
    side->addWidget(fitButton);
    saveDxf_ = new QPushButton("Save DXF…");
    saveSvg_ = new QPushButton("Save SVG…");
    auto* backButton = new QPushButton("Back");
    backButton->setToolTip("Back to the shapes");
    auto* helpButton = new QPushButton("Help");
    helpButton->setToolTip("How the cut stage works (F1)");
    auto* exitButton = new QPushButton("Exit");
    side->addWidget(saveDxf_);
    side->addWidget(saveSvg_);
    side->addSpacing(8);
    side->addWidget(backButton);
    side->addWidget(helpButton);
    side->addWidget(exitButton);
    auto* sideWidget = new QWidget;
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(300);
    connect(fitButton, &QPushButton::clicked, view_, &DrawingView::fit);
    connect(saveDxf_, &QPushButton::clicked, this, [this] { saveAs(Output::Dxf); });
    connect(saveSvg_, &QPushButton::clicked, this, [this] { saveAs(Output::Svg); });
    connect(backButton, &QPushButton::clicked, this, &CutWindow::back);
    connect(helpButton, &QPushButton::clicked, this, &CutWindow::help);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
    return sideWidget;
}

// The work folder first: a second program on it says so, and the window ends before a file
// is read.
bool CutWindow::claimFolder() {
    const wf::FolderClaim claim = wf::claimOf(lock_.acquire());
    if (claim.text) ui_.message(claim.text, claim.title, claim.critical ? suite::Icon::Critical : suite::Icon::Information);
    return claim.proceed;
}

std::string CutWindow::reload() {
    handover_.reset();
    maker_.reset();
    drawing_.reset();
    std::string problem;
    stale_ = wf::handoverAge(request_.folder);
    try {
        handover_ = std::make_shared<const cut::Handover>(cut::readHandover(request_.folder / "workfiles"));
        maker_ = std::make_shared<cut::DrawingMaker>(handover_);
        const QSignalBlocker block(kind_);
        kind_->setCurrentIndex(request_.kind.value_or(cut::defaultKind(*handover_)) == cut::Kind::Stencil ? 0 : 1);
    } catch (const fault::HandoverFault& e) {
        problem = cut::handoverMessage(e);
    }
    rebuild(true);
    return problem;
}

cut::Options CutWindow::currentOptions() const {
    cut::Options o;
    o.kind = kind_->currentIndex() == 0 ? cut::Kind::Stencil : cut::Kind::Lettering;
    o.kerf = kerf_->value();
    o.minWidth = minWidth_->value();
    o.tabs = tabs_->isChecked();
    o.border = border_->value() < 0 ? -1 : border_->value();
    o.sheetWidth = sheetWidth_->value();
    o.sheetHeight = sheetHeight_->value();
    o.tile = tile_->isChecked();
    return o;
}

// The drawing for the settings as they are: made at once for a small hand-over; a large one is
// made on a worker thread while the window keeps answering, and shown when it is done unless
// the settings changed meanwhile (a later drawing is on its way then).
void CutWindow::rebuild(bool refit) {
    const std::uint64_t generation = ++generation_;
    const bool stencil = kind_->currentIndex() == 0;
    tabs_->setEnabled(!stencil);
    border_->setEnabled(stencil);
    tile_->setEnabled(stencil);
    banner_->setVisible(handover_ && stale_.stale);
    bannerText_->setText(text("This cut drawing is out of date. " + stale_.reason +
                              " Go back to the shapes and make it again with \"Start convert\"."));
    if (!handover_) return showDrawing({}, refit);
    auto make = [maker = maker_, o = currentOptions(), stale = stale_](bool firstLook) {
        Made m;
        try {
            m.drawing = firstLook ? maker->makeFirstLook(o) : maker->make(o);
            if (stale.stale) cut::markStale(*m.drawing, stale.reason);
        } catch (const fault::DrawingFault& e) {
            m.error = e.what();
        } catch (const std::exception& e) {
            m.error = std::string("The drawing could not be made: ") + e.what();
        }
        return m;
    };
    if (handover_->letters.size() <= kLettersDrawnAtOnce) return showDrawing(make(false), refit);
    summary_->setText("Drawing…");
    saveDxf_->setEnabled(false);
    saveSvg_->setEnabled(false);
    // The drawing is shown as soon as its outlines are made; when the thin material at this
    // width is still to be found, the whole drawing follows once it is.
    QPointer<CutWindow> self(this);
    asked_->store(generation);
    QThreadPool::globalInstance()->start([self, generation, asked = asked_, refit, make] {
        auto show = [&](Made made, bool refitView) {
            auto shared = std::make_shared<Made>(std::move(made));
            QMetaObject::invokeMethod(
                qApp, [self, generation, refitView, shared] {
                    if (self && self->generation_ == generation) self->showDrawing(std::move(*shared), refitView);
                },
                Qt::QueuedConnection);
        };
        Made first = make(true);
        const bool whole = !first.drawing || !first.drawing->thinPending;
        show(std::move(first), refit);
        if (!whole && asked->load() == generation) show(make(false), false);
    });
}

namespace {
// One thread for what is prepared ahead, apart from the drawings asked for.
QThreadPool& aheadPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(qApp);
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}
}  // namespace

void CutWindow::prepareAhead() {
    if (!maker_ || handover_->letters.size() <= kLettersDrawnAtOnce) return;
    const cut::Options now = currentOptions();
    std::vector<cut::Options> next;
    cut::Options o = now;
    if (now.kind == cut::Kind::Stencil) {
        o.kind = cut::Kind::Lettering;
        next.push_back(o);
        o.tabs = !o.tabs;
        next.push_back(o);
    } else {
        o.tabs = !o.tabs;
        next.push_back(o);
        o = now;
        o.kind = cut::Kind::Stencil;
        next.push_back(o);
    }
    aheadPool().clear();  // what was queued for earlier settings
    aheadPool().start([maker = maker_, next] {
        for (const cut::Options& o : next) {
            try {
                maker->prepare(o);
            } catch (const std::exception&) {
                // the drawing cannot be made: asked for, it says so then
            }
        }
    });
}

bool CutWindow::waitForDrawingsAhead(int ms) { return aheadPool().waitForDone(ms); }

void CutWindow::showDrawing(Made made, bool refit) {
    drawing_ = std::move(made.drawing);
    if (drawing_ && !drawing_->thinPending) prepareAhead();
    problems_->blockSignals(true);
    problems_->clear();
    problems_->blockSignals(false);
    // a drawing still without its thin material is saved once it has it
    saveDxf_->setEnabled(drawing_.has_value() && !drawing_->thinPending);
    saveSvg_->setEnabled(drawing_.has_value() && !drawing_->thinPending);
    view_->setDrawing(drawing_ ? &*drawing_ : nullptr, refit);
    if (!drawing_) {
        summary_->setText(handover_ ? text(made.error) : QString("No hand-over to draw."));
        return;
    }
    for (const auto& p : drawing_->problems) {
        auto* item = new QListWidgetItem(text(cut::problemText(p)));
        item->setForeground(problemColour(p));
        problems_->addItem(item);
    }
    if (drawing_->problems.empty()) problems_->addItem("(none)"), problems_->item(0)->setFlags(Qt::NoItemFlags);
    const auto& d = *drawing_;
    summary_->setText(QString("%1, %2 (%3, %4)\n%5 × %6 mm, area %7 mm²%8")
                          .arg(counted(d.pieces.size(), "piece", "pieces"))
                          .arg(counted(d.cut.size(), "outline", "outlines"))
                          .arg(counted(static_cast<std::size_t>(d.arcs), "arc", "arcs"))
                          .arg(counted(static_cast<std::size_t>(d.lines), "line", "lines"))
                          .arg(d.max.x - d.min.x, 0, 'f', 1)
                          .arg(d.max.y - d.min.y, 0, 'f', 1)
                          .arg(d.area, 0, 'f', 1)
                          .arg(d.tabs.empty() ? QString() : ", " + counted(d.tabs.size(), "tab", "tabs")) +
                      (d.thinPending ? "\nLooking for thin material…" : ""));
}

void CutWindow::setKind(cut::Kind k) { kind_->setCurrentIndex(k == cut::Kind::Stencil ? 0 : 1); }
void CutWindow::setKerf(double mm) { kerf_->setValue(mm); }
void CutWindow::setTabs(bool on) { tabs_->setChecked(on); }

void CutWindow::error(const QString& t) { ui_.message(t.toStdString(), kTitle, suite::Icon::Critical); }

bool CutWindow::saveTo(const fs::path& file, Output kind) {
    if (!drawing_ || !handover_) return false;
    try {
        wf::Outputs outputs = suite::outputsFor(request_.folder);
        for (const auto& [one, bytes] : filesOf(file, kind, *drawing_, *handover_, reference_->isChecked()))
            outputs.write(one, bytes());
        settings_.lastFolder = fs::absolute(file).parent_path().string();
        remember();
        return true;
    } catch (const std::exception& e) {
        error(text(e.what()));
        return false;
    }
}

void CutWindow::restoreSettings() {
    const QSignalBlocker a(kind_), b(kerf_), c(border_), d(tabs_), e(reference_), f(sheetWidth_), g(sheetHeight_), t(tile_),
        m(minWidth_);
    minWidth_->setValue(settings_.minWidth);
    sheetWidth_->setValue(settings_.sheetWidth);
    sheetHeight_->setValue(settings_.sheetHeight);
    tile_->setChecked(settings_.tile);
    if (settings_.kind) request_.kind = settings_.kind;
    kerf_->setValue(settings_.kerf);
    border_->setValue(settings_.border < 0 ? -1 : settings_.border);
    tabs_->setChecked(settings_.tabs);
    reference_->setChecked(settings_.referenceLayers);
}

void CutWindow::remember() {
    if (!lock_.held()) return;  // a read-only folder keeps nothing
    settings_.kind = kind_->currentIndex() == 0 ? cut::Kind::Stencil : cut::Kind::Lettering;
    settings_.kerf = kerf_->value();
    settings_.minWidth = minWidth_->value();
    settings_.border = border_->value() < 0 ? -1 : border_->value();
    settings_.tabs = tabs_->isChecked();
    settings_.referenceLayers = reference_->isChecked();
    settings_.sheetWidth = sheetWidth_->value();
    settings_.sheetHeight = sheetHeight_->value();
    settings_.tile = tile_->isChecked();
    try {
        cut::writeSettings(request_.folder / "workfiles", settings_);
    } catch (const fault::FileFault&) {
        // the drawing is what matters; the settings are kept when the folder takes them again
    }
}

fs::path CutWindow::suggestedFile(Output kind) const {
    std::error_code ec;
    fs::path folder = settings_.lastFolder;
    if (folder.empty() || !fs::is_directory(folder, ec)) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
        if (folder.empty() || !fs::is_directory(folder, ec)) folder = QDir::homePath().toStdString();
    }
    const cut::Kind k = kind_->currentIndex() == 0 ? cut::Kind::Stencil : cut::Kind::Lettering;
    return folder / cut::proposedName(request_.folder / "workfiles", k, kind == Output::Svg ? ".svg" : ".dxf");
}

void CutWindow::saveAs(Output kind) {
    const bool svg = kind == Output::Svg;
    // as the buttons: not while the drawing for the settings shown is still being made
    if (!drawing_ || !(svg ? saveSvg_ : saveDxf_)->isEnabled()) return;
    const QString name = QFileDialog::getSaveFileName(this, svg ? "Save SVG" : "Save DXF", text(suggestedFile(kind).string()),
                                                      svg ? "SVG drawing (*.svg)" : "DXF drawing (*.dxf)");
    if (!name.isEmpty()) saveTo(QFile::encodeName(name).toStdString(), kind);
}

bool CutWindow::help() {
    const fs::path doc = request_.folder / kHelpDocument;
    if (ui_.openDocument(doc.string())) return true;
    ui_.message(suite::helpNotOpenedText(doc.string(), kHelpDocument), "Info", suite::Icon::None);
    return false;
}

void CutWindow::back() {
    // the shapes stage resumes where it was left, and takes the folder over
    const std::string program = (request_.folder / suite::kShapesProgram).string();
    const wf::HandOver h = lock_.handOver([&] { return ui_.startProgram(program, {suite::kTokenResume}); });
    if (h == wf::HandOver::Lost) {
        ui_.message(wf::lostText(lock_.state()), wf::kErrorTitle, suite::Icon::Critical);
        close();
        return;
    }
    if (h == wf::HandOver::NotStarted) {
        error("letterkerf not found !");
        return;
    }
    close();
}

int runWindow(const Request& r) {
    CutWindow w(r);
    if (w.refused()) return 3;
    w.show();
    return QApplication::exec();
}

}  // namespace cut_qt
