#include "text_qt/text_window.h"

#include <QShortcut>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>
#include <cmath>

#include "suite_qt/guard.h"
#include "suite_qt/keys.h"


namespace text_qt {

namespace {

constexpr int kTypingPauseMs = 40;  // the preview follows after this pause in typing

QString q(const std::string& s) { return QString::fromStdString(s); }

QString droppedNote(std::size_t letters, const char* why) {
    if (letters == 0) return {};
    return QString(" The bridges you placed in %1 letter%2 were dropped (%3).").arg(letters).arg(letters == 1 ? "" : "s").arg(why);
}

}  // namespace

// ---------------------------------------------------------------------------------------

TextWindow::TextWindow(const QString& folder, text::Variant variant)
    : stage_(folder.toStdString(), variant, port_) {
    port_.setParent(this);
    setObjectName("textStage");
    setWindowTitle(variant == text::Variant::NoBridges ? "LETTERKERF:  Text (parts joined by the bar)"
                                                       : "LETTERKERF:  Text (stencil bridges)");
    makeControls(variant);
    layOut();
    connectControls();

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

void TextWindow::makeControls(text::Variant variant) {
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
    deleteBridge_ = new QPushButton("Delete bridge", this);
    deleteBridge_->setObjectName("deleteBridge");
    deleteBridge_->setToolTip("Deletes the selected bridge (also the Delete key).");
    deleteBridge_->setEnabled(false);
    resetBridges_ = new QPushButton("Reset bridges", this);
    resetBridges_->setObjectName("resetBridges");
    resetBridges_->setToolTip("Drops the bridges you placed: every letter gets the bridges placed for it.");
    resetBridges_->setEnabled(false);
    for (QPushButton* b : {deleteBridge_, resetBridges_}) b->setVisible(variant == text::Variant::Bridges);
    if (variant == text::Variant::Bridges)
        view_->setToolTip("Drag a bridge along its stroke; click a stroke to add a bridge; Delete removes the selected one.");
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
}

void TextWindow::layOut() {
    const auto caption = [this](const char* text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);  // its mnemonic takes the box
        return label;
    };
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(caption("&Font", family_));
    fontRow->addWidget(family_, 3);
    fontRow->addWidget(caption("&Style", style_));
    fontRow->addWidget(style_, 1);
    fontRow->addWidget(fileButton_);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(caption("&Text", text_));
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
    bridgeRow->addWidget(deleteBridge_);
    bridgeRow->addWidget(resetBridges_);
    layout->addLayout(bridgeRow);
    layout->addLayout(buttons);
    resize(900, 480);
}

void TextWindow::connectControls() {
    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPauseMs);
    connect(&typing_, &QTimer::timeout, this, [this] { refresh(); });
    connect(text_, &QLineEdit::textChanged, this, [this](const QString& t) {
        note_ = droppedNote(stage_.setText(t.toStdString()), "their letters changed");
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
    connect(deleteBridge_, &QPushButton::clicked, this, [this] { suite_qt::guardEvent([this] { deleteSelected(); }); });
    connect(resetBridges_, &QPushButton::clicked, this, [this] { suite_qt::guardEvent([this] { resetBridges(); }); });
    view_->pressed = [this](text::Pt p, double pick) { pressAt(p, pick); };
    view_->dragged = [this](text::Pt p) { dragTo(p); };
    view_->deletePressed = [this] { deleteSelected(); };
    connect(exit_, &QPushButton::clicked, this, [this] { close(); });
    // F1 this stage's help, Ctrl+Q "Exit"; the text box keeps its own Ctrl+Z and Ctrl+Y
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        const std::string document = (stage_.folder() / "menu1.pdf").string();
        if (!port_.openDocument(document)) port_.message("menu1.pdf not found ? PDF-Reader installed ?", "Info", suite::Icon::None);
    });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] { close(); });
    suite_qt::addMnemonics(this);
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
        note_ = droppedNote(stage_.setFont(*f), "another font");
    } catch (const fault::TextFault& e) {
        port_.message(e.what(), "Font", text::Icon::Critical);
    }
    refresh();
}

void TextWindow::chooseFile() {
    const QString file = QFileDialog::getOpenFileName(this, "Font file", {}, "Fonts (*.ttf *.otf *.ttc *.pfb *.t1);;All files (*)");
    if (file.isEmpty()) return;
    try {
        note_ = droppedNote(stage_.setFont(text::FontRef{{}, {}, file.toStdString(), 0}), "another font");
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
    selected_.reset();
    lettering_.reset();
    if (stage_.text().empty()) {
        status_->setText("Type a text.");
    } else {
        try {
            lettering_ = stage_.lettering();
        } catch (const fault::TextFault& e) {
            status_->setText(q(e.what()));
        }
    }
    showLetters();
}

void TextWindow::showLetters() {
    view_->show(lettering_ ? &*lettering_ : nullptr, selected_);
    deleteBridge_->setEnabled(selected_.has_value());
    resetBridges_->setEnabled(!stage_.bridgeEdits().empty());
    if (!lettering_) return;
    const text::Lettering& l = *lettering_;
    QString s = QString("%1 letters").arg(l.letters.size());
    if (stage_.bridges()) {
        s += QString(", %1 bridges").arg(l.bridgeCount());
        if (l.looseCount()) s += QString(", %1 islands still loose (red)").arg(l.looseCount());
        if (!stage_.bridgeEdits().empty())
            s += QString(", bridges placed by hand in %1 letters").arg(stage_.bridgeEdits().letters().size());
    }
    status_->setText(s + "." + note_);
}

// A press on a strip takes its bridge; one on a stroke adds a bridge across it there; one
// anywhere else lets go of the selection.
void TextWindow::pressAt(text::Pt p, double pick) {
    if (!lettering_ || !stage_.bridges()) return;
    typing_.stop();
    selected_ = text::bridgeAt(*lettering_, p, pick);
    if (!selected_) selected_ = stage_.bridgeEdits().add(*lettering_, p);
    if (selected_) {
        const text::Letter& k = lettering_->letters[selected_->letter];
        const text::Pt middle = text::stripMiddle(k.bridges[selected_->index], lettering_->stripWidth);
        grab_ = text::Pt{middle.x + k.x, middle.y} - p;
    }
    showLetters();
}

void TextWindow::dragTo(text::Pt p) {
    if (!lettering_ || !selected_) return;
    if (stage_.bridgeEdits().move(*lettering_, *selected_, p + grab_)) showLetters();
}

void TextWindow::deleteSelected() {
    if (!lettering_ || !selected_) return;
    stage_.bridgeEdits().remove(*lettering_, *selected_);
    selected_.reset();
    showLetters();
}

void TextWindow::resetBridges() {
    stage_.bridgeEdits().clear();
    note_.clear();
    refresh();
}

void TextWindow::next() {
    typing_.stop();
    const text::NextOutcome r = stage_.next();
    if (r == text::NextOutcome::Started || r == text::NextOutcome::Ended) QApplication::quit();
}

}  // namespace text_qt
