#include "text_qt/text_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <cmath>


namespace text_qt {

namespace {

constexpr int kTypingPauseMs = 40;  // the preview follows after this pause in typing

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ---------------------------------------------------------------------------------------

LetteringView::LetteringView(QWidget* parent) : QWidget(parent) {
    setObjectName("preview");
    setMinimumSize(640, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void LetteringView::show(const text::Lettering* l) {
    if (l) lettering_ = *l;
    else lettering_.reset();
    update();
}

void LetteringView::paintEvent(QPaintEvent*) {
    if (!lettering_ || lettering_->letters.empty()) return;
    const text::Lettering& l = *lettering_;
    // the letters' extent, so that the whole line fits with a margin
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
    QPainterPath ink, strips, loose;
    ink.setFillRule(Qt::WindingFill);
    for (const text::Letter& k : l.letters) {
        for (const text::Contour& c : k.contours) {
            ink.moveTo(k.x + c.front().a.x, c.front().a.y);
            for (const text::Piece& p : c) {
                if (p.quad) ink.quadTo(k.x + p.c.x, p.c.y, k.x + p.b.x, p.b.y);
                else ink.lineTo(k.x + p.b.x, p.b.y);
                for (text::Pt e : {p.a, p.b}) {
                    xmin = std::min(xmin, k.x + e.x);
                    xmax = std::max(xmax, k.x + e.x);
                    ymin = std::min(ymin, e.y);
                    ymax = std::max(ymax, e.y);
                }
            }
            ink.closeSubpath();
        }
        for (const text::Bridge& b : k.bridges) {
            const auto corners = text::stripCorners(b, l.stripWidth);
            strips.moveTo(k.x + corners[0].x, corners[0].y);
            for (std::size_t i = 1; i < corners.size(); ++i) strips.lineTo(k.x + corners[i].x, corners[i].y);
            strips.closeSubpath();
        }
        for (const text::Polygon& p : k.loose) {
            if (p.empty()) continue;
            loose.moveTo(k.x + p.front().x, p.front().y);
            for (const text::Pt& e : p) loose.lineTo(k.x + e.x, e.y);
            loose.closeSubpath();
        }
    }
    if (!(xmax > xmin) || !(ymax > ymin)) return;
    const double margin = 12;
    const double scale = std::min((width() - 2 * margin) / (xmax - xmin), (height() - 2 * margin) / (ymax - ymin));
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(margin + ((width() - 2 * margin) - (xmax - xmin) * scale) / 2,
                      margin + ((height() - 2 * margin) - (ymax - ymin) * scale) / 2);
    painter.scale(scale, -scale);  // y up
    painter.translate(-xmin, -ymax);
    QPen outline(Qt::black, 0);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawPath(ink);
    painter.setBrush(QColor(255, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawPath(loose);
    QPen strip(QColor(0, 0, 255), 0);
    strip.setCosmetic(true);
    painter.setPen(strip);
    painter.setBrush(Qt::white);
    painter.drawPath(strips);
}

// ---------------------------------------------------------------------------------------

TextWindow::TextWindow(const QString& folder, text::Variant variant)
    : stage_(folder.toStdString(), variant, port_) {
    port_.setParent(this);
    setObjectName("textStage");
    setWindowTitle(variant == text::Variant::NoBridges ? "LETTERKERF:  Text (parts joined by the bar)"
                                                       : "LETTERKERF:  Text (stencil bridges)");
    text_ = new QLineEdit(this);
    text_->setObjectName("text");
    text_->setPlaceholderText("Type the lettering here");
    family_ = new QComboBox(this);
    family_->setObjectName("family");
    family_->setEditable(true);
    family_->setInsertPolicy(QComboBox::NoInsert);
    style_ = new QComboBox(this);
    style_->setObjectName("style");
    fileButton_ = new QPushButton("Font file...", this);
    fileButton_->setObjectName("fontFile");
    view_ = new LetteringView(this);
    twoBridges_ = new QCheckBox("Two bridges for counters of 12 to 25 mm", this);
    twoBridges_->setObjectName("twoBridges");
    twoBridges_->setToolTip("Counters of 25 mm and more (as cut) always get two bridges, smaller ones one.");
    twoBridges_->setVisible(variant == text::Variant::Bridges);
    drawing_ = new QLabel(this);
    drawing_->setObjectName("drawing");
    drawing_->setVisible(variant == text::Variant::Bridges);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    next_ = new QPushButton("Next", this);
    next_->setObjectName("next");
    next_->setDefault(true);
    exit_ = new QPushButton("Exit", this);
    exit_->setObjectName("exit");

    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel("Font", this));
    fontRow->addWidget(family_, 3);
    fontRow->addWidget(new QLabel("Style", this));
    fontRow->addWidget(style_, 1);
    fontRow->addWidget(fileButton_);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(new QLabel("Text", this));
    textRow->addWidget(text_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(exit_);
    buttons->addWidget(next_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(fontRow);
    layout->addWidget(view_, 1);
    auto* bridgeRow = new QHBoxLayout;
    bridgeRow->addWidget(drawing_, 1);
    bridgeRow->addWidget(twoBridges_);
    layout->addLayout(bridgeRow);
    layout->addLayout(buttons);
    resize(900, 480);

    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPauseMs);
    connect(&typing_, &QTimer::timeout, this, [this] { refresh(); });
    connect(text_, &QLineEdit::textChanged, this, [this](const QString& t) {
        stage_.setText(t.toStdString());
        typing_.start();
    });
    connect(family_, &QComboBox::currentTextChanged, this, [this] {
        if (filling_) return;
        fillStyles({});
        fontChosen();
    });
    connect(style_, &QComboBox::currentTextChanged, this, [this] {
        if (!filling_) fontChosen();
    });
    connect(fileButton_, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(twoBridges_, &QCheckBox::toggled, this, [this](bool two) {
        stage_.setTwoForMidSize(two);
        refresh();
    });
    connect(next_, &QPushButton::clicked, this, [this] { next(); });
    connect(exit_, &QPushButton::clicked, this, [this] { close(); });

    // the work folder first: a second program on it says so and ends before a file is read
    if (!stage_.claimWorkFolder()) {
        refused_ = true;
        return;
    }
    stage_.reopen();
    twoBridges_->setChecked(stage_.twoForMidSize());
    const text::CutSize cut = stage_.cutSize();
    drawing_->setText(QString("Bridges %1 mm wide (b = %2 in) for letters %3 mm high (h), as the shapes stage will cut them%4.")
                          .arg(cut.apertureMm, 0, 'f', 2)
                          .arg(cut.apertureMm / 25.4, 0, 'g', 4)
                          .arg(cut.heightMm, 0, 'f', 1)
                          .arg(stage_.drawing().saved ? " (its last settings)" : " (its defaults)"));
    fillFamilies();
    text_->setText(q(stage_.text()));
    refresh();
}

void TextWindow::fillFamilies() {
    filling_ = true;
    family_->clear();
    for (const std::string& f : text::installedFamilies()) family_->addItem(q(f));
    family_->setCurrentText(q(stage_.font().family));
    filling_ = false;
    fillStyles(q(stage_.font().style));
}

void TextWindow::fillStyles(const QString& keep) {
    filling_ = true;
    style_->clear();
    for (const std::string& s : text::installedStyles(family_->currentText().toStdString())) style_->addItem(q(s));
    if (style_->count() == 0 && !keep.isEmpty()) style_->addItem(keep);  // a font opened from its file
    if (!keep.isEmpty()) style_->setCurrentText(keep);
    else if (auto f = text::findInstalledFont(family_->currentText().toStdString(), ""))
        style_->setCurrentText(q(f->style));
    filling_ = false;
}

void TextWindow::fontChosen() {
    const auto f = text::findInstalledFont(family_->currentText().toStdString(), style_->currentText().toStdString());
    if (!f) return;  // still typing a family name
    try {
        stage_.setFont(*f);
    } catch (const fault::TextFault& e) {
        port_.message(e.what(), "Font", text::Icon::Critical);
    }
    refresh();
}

void TextWindow::chooseFile() {
    const QString file = QFileDialog::getOpenFileName(this, "Font file", {}, "Fonts (*.ttf *.otf *.ttc *.pfb *.t1);;All files (*)");
    if (file.isEmpty()) return;
    try {
        stage_.setFont(text::FontRef{{}, {}, file.toStdString(), 0});
    } catch (const fault::TextFault& e) {
        port_.message(e.what(), "Font", text::Icon::Critical);
        return;
    }
    filling_ = true;
    family_->setCurrentText(q(stage_.font().family));
    filling_ = false;
    fillStyles(q(stage_.font().style));
    refresh();
}

void TextWindow::refresh() {
    if (stage_.text().empty()) {
        view_->show(nullptr);
        status_->setText("Type a text.");
        return;
    }
    try {
        const text::Lettering l = stage_.lettering();
        view_->show(&l);
        QString s = QString("%1 letters").arg(l.letters.size());
        if (stage_.bridges()) {
            s += QString(", %1 bridges").arg(l.bridgeCount());
            if (l.looseCount()) s += QString(", %1 islands still loose (red)").arg(l.looseCount());
        }
        status_->setText(s);
    } catch (const fault::TextFault& e) {
        status_->setText(q(e.what()));
    }
}

void TextWindow::next() {
    typing_.stop();
    const text::NextOutcome r = stage_.next();
    if (r == text::NextOutcome::Started || r == text::NextOutcome::Ended) QApplication::quit();
}

}  // namespace text_qt
