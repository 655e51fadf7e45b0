#include "start_qt/start_window.h"

#include <QShortcut>
#include <QButtonGroup>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>

#include "suite_qt/guard.h"
#include "suite_qt/keys.h"
#include "suite_qt/qt_ui.h"
#include "preview_qt/shape_picture.h"

namespace start_qt {

using start::Action;

namespace {

// the arch with its connection bar: what the suite makes, drawn by the shape engine
constexpr int kPictureShape = 9;

const char* nameOf(Action a) {
    switch (a) {
        case Action::NewLettering: return "newLettering";
        case Action::Continue: return "continueShapes";
        case Action::CutDrawing: return "cutDrawing";
        case Action::Help: return "help";
        case Action::Exit: return "exit";
    }
    return "";
}

// what the button does, shown beside it
QString purpose(Action a) {
    switch (a) {
        case Action::NewLettering: return "Type the text and pick a font";
        case Action::Continue: return "Back to the shapes and sizes of the last lettering";
        case Action::CutDrawing: return "The drawing for the laser cutter: check it, save DXF and SVG";
        case Action::Help: return "How the programs work (main.pdf)";
        case Action::Exit: return "Close LETTERKERF";
    }
    return {};
}

// why an unavailable button is grey
QString unavailable(Action a) {
    switch (a) {
        case Action::Continue: return "No saved lettering in this folder yet";
        case Action::CutDrawing: return "Nothing handed over yet: \"Start convert\" in the shapes";
        default: return {};
    }
}

}  // namespace

StartWidget::StartWidget(const std::string& folder, suite::Ui* ui) {
    setObjectName("startWindow");
    setWindowTitle("LETTERKERF");
    if (!ui) {
        ownUi_ = std::make_unique<suite_qt::QtUi>(this);
        ui = ownUi_.get();
    }
    logic_ = std::make_unique<start::StartWindow>(folder, *ui);

    auto* picture = new QLabel(this);
    picture->setObjectName("picture");
    picture->setPixmap(QPixmap::fromImage(preview_qt::shapePicture(kPictureShape, QSize(300, 240), true)));
    picture->setFrameShape(QFrame::StyledPanel);

    auto* title = new QLabel("LETTERKERF", this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 2);
    f.setBold(true);
    title->setFont(f);
    auto* subtitle = new QLabel("Stencils and sign lettering from typed words", this);

    auto* right = new QVBoxLayout;
    right->addWidget(title);
    right->addWidget(subtitle);
    right->addSpacing(16);
    right->addLayout(buildActions());
    right->addStretch();
    right->addWidget(folderLine());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(20);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    refresh();
    setFixedSize(sizeHint().expandedTo(QSize(760, 360)));
    // F1 is "Help", Ctrl+Q "Exit"; every button has its mnemonic
    for (auto [key, a] : {std::pair{QKeySequence(QKeySequence::HelpContents), Action::Help},
                          std::pair{QKeySequence(Qt::CTRL | Qt::Key_Q), Action::Exit}}) {
        auto* s = new QShortcut(key, this);
        connect(s, &QShortcut::activated, this, [this, a] {
            if (buttons_[a]->isEnabled()) buttons_[a]->click();
        });
    }
    suite_qt::addMnemonics(this);
}

// The five buttons, each with its note beside it, and under "New lettering" the choice of the
// kind of lettering.
QGridLayout* StartWidget::buildActions() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    int row = 0;
    for (Action a : start::kActions) {
        auto* b = new QPushButton(start::caption(a), this);
        b->setObjectName(nameOf(a));
        b->setMinimumWidth(150);
        b->setToolTip(purpose(a));
        connect(b, &QPushButton::clicked, this, [this, a] { suite_qt::guardEvent([&] { click(a); }); });
        auto* note = new QLabel(purpose(a), this);
        note->setObjectName(QString(nameOf(a)) + "Note");
        note->setWordWrap(true);
        grid->addWidget(b, row, 0, Qt::AlignTop);
        grid->addWidget(note, row, 1);
        buttons_[a] = b;
        notes_[a] = note;
        ++row;
        if (a == Action::NewLettering) grid->addLayout(buildKindChoice(), row++, 1);
    }
    buttons_[Action::NewLettering]->setDefault(true);
    return grid;
}

// the kind of lettering the text stage sets
QVBoxLayout* StartWidget::buildKindChoice() {
    stencil_ = new QRadioButton("Stencil letters with bridges", this);
    stencil_->setObjectName("kindStencil");
    parts_ = new QRadioButton("Letters without bridges, joined by the bar", this);
    parts_->setObjectName("kindParts");
    auto* group = new QButtonGroup(this);
    group->addButton(stencil_);
    group->addButton(parts_);
    connect(stencil_, &QRadioButton::clicked, this, [this] { logic_->setKind(start::Kind::Stencil); });
    connect(parts_, &QRadioButton::clicked, this, [this] { logic_->setKind(start::Kind::Parts); });
    auto* kinds = new QVBoxLayout;
    kinds->setContentsMargins(0, 0, 0, 6);
    kinds->addWidget(stencil_);
    kinds->addWidget(parts_);
    return kinds;
}

// the program folder, small, under the buttons
QLabel* StartWidget::folderLine() {
    auto* line = new QLabel(QString("Program folder: %1").arg(QString::fromStdString(logic_->folder().string())), this);
    line->setObjectName("folder");
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont small = line->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    line->setFont(small);
    return line;
}

StartWidget::~StartWidget() = default;

void StartWidget::refresh() {
    logic_->refresh();
    for (Action a : start::kActions) {
        const bool on = logic_->enabled(a);
        buttons_[a]->setEnabled(on);
        notes_[a]->setText(on ? purpose(a) : unavailable(a));
        const std::string& stale = logic_->state().handOverStale;
        if (a == Action::CutDrawing && on && !stale.empty())
            notes_[a]->setText(QString("Out of date: %1 Make it again with \"Continue\" and \"Start convert\".")
                                   .arg(QString::fromStdString(stale)));
        notes_[a]->setEnabled(on);
    }
    const bool parts = logic_->kind() == start::Kind::Parts;
    stencil_->setChecked(!parts);
    parts_->setChecked(parts);
}

bool StartWidget::event(QEvent* e) {
    // back at the front: another program of the suite may have changed the work files
    if (e->type() == QEvent::WindowActivate) suite_qt::guardEvent([this] { refresh(); });
    return QWidget::event(e);
}

void StartWidget::click(Action a) {
    logic_->run(a);
    if (logic_->terminated()) {
        hide();
        return;
    }
    refresh();
}

}  // namespace start_qt
