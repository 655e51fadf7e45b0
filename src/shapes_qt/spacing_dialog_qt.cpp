#include "shapes_qt/spacing_dialog_qt.h"

#include "suite_qt/guard.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "shapes_qt/widgets.h"
#include "shapes/session.h"

namespace shapes_qt {

namespace {

QFont listFont() {
    QFont f("Courier New");
    f.setStyleHint(QFont::Monospace);
    if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return f;
}

QPushButton* button(QWidget* parent, const char* caption, const char* name, const char* tip) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoDefault(true);  // Enter presses the button that has the focus
    return b;
}

}  // namespace

// The group of the selected pair: its distance box, the slider and "= 0".
QGroupBox* SpacingDialogWidget::buildSelected(QPushButton*& zero) {
    auto* frame = new QGroupBox("Selected", this);
    frame->setObjectName("Frame3");
    auto* distanceCaption = new QLabel("Distance:", frame);
    text2_ = new QLineEdit(frame);
    text2_->setObjectName("Text2");
    text2_->setToolTip("The extra distance d of the chosen pair, in inches");
    text2_->setMinimumWidth(90);
    distanceCaption->setToolTip(text2_->toolTip());
    scroll_ = new QScrollBar(Qt::Horizontal, frame);
    scroll_->setObjectName("HScroll2");
    scroll_->setToolTip("Widens or narrows the distance d of the chosen pair in steps (inches)");
    scroll_->setSingleStep(1);
    scroll_->setPageStep(20);
    scroll_->setMinimumWidth(160);
    keyboardSlider(scroll_);
    zero = button(frame, "= 0", "Command5", "Sets the distance d of the chosen pair to 0 inches");

    auto* selected = new QGridLayout(frame);
    selected->addWidget(distanceCaption, 0, 0);
    selected->addWidget(text2_, 0, 1);
    selected->addWidget(millimetresBeside(text2_, frame), 1, 1);
    selected->addWidget(scroll_, 2, 0, 1, 2);
    selected->addWidget(zero, 2, 2);
    return frame;
}

SpacingDialogWidget::SpacingDialogWidget(shapes::SpacingDialog& dialog, QWidget* mainWindow)
    : QDialog(mainWindow), dialog_(dialog) {
    setObjectName("form7");
    setWindowTitle(shapes::kSpacingCaption);
    setModal(true);

    auto* letters = new QLabel("Letters", this);
    auto* distance = new QLabel("+ Distance", this);
    list_ = new QListWidget(this);
    list_->setObjectName("List1");
    list_->setFont(listFont());
    list_->setToolTip("Each pair of neighbouring letters with the extra distance d between them, in inches; pick a pair to change it");
    list_->setMinimumSize(200, 240);
    letters->setToolTip(list_->toolTip());
    distance->setToolTip(list_->toolTip());

    QPushButton* zero = nullptr;
    QGroupBox* frame = buildSelected(zero);

    auto* all = button(this, "(+) Distance for all letters", "Command4", "Gives every pair the distance in the box above (inches)");
    auto* remove = button(this, "Remove empty space", "Command2", "Lets the program close up the empty space between the letters");
    auto* reset = button(this, "Reset", "Command1", "Clears all distances d");
    auto* close = button(this, "Close", "Command3", "Closes the letter spacing");
    close->setDefault(true);  // Enter elsewhere closes, as Escape does; in the box it applies
    text2_->installEventFilter(this);

    auto* heads = new QHBoxLayout;
    heads->addWidget(letters);
    heads->addWidget(distance);
    heads->addStretch();
    auto* listSide = new QVBoxLayout;
    listSide->addLayout(heads);
    listSide->addWidget(list_, 1);
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(reset);
    lastRow->addWidget(close);
    auto* buttonSide = new QVBoxLayout;
    buttonSide->addWidget(frame);
    buttonSide->addWidget(all);
    buttonSide->addWidget(remove);
    buttonSide->addStretch();
    buttonSide->addLayout(lastRow);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listSide, 1);
    layout->addLayout(buttonSide);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const QPoint main = mainWindow ? mainWindow->pos() : QPoint(0, 0);
    placeDialog(this,
                QPoint(shapes::SpacingDialog::leftTwips(main.x() * shapes::kTwipsPerPixel) / shapes::kTwipsPerPixel,
                       shapes::SpacingDialog::topTwips(main.y() * shapes::kTwipsPerPixel) / shapes::kTwipsPerPixel),
                mainWindow);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) handle([&] { dialog_.selectPair(row); });
    });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { handle([&] { dialog_.scroll(v); }); });
    connect(text2_, &QLineEdit::textEdited, this,
            [this](const QString& t) { dialog_.Text2.assign(t.toStdString()); });
    connect(zero, &QPushButton::clicked, this, [this] { handle([&] { dialog_.zeroDistance(); }); });
    connect(all, &QPushButton::clicked, this, [this] { handle([&] { dialog_.distanceForAll(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { handle([&] { dialog_.removeEmptySpace(); }); });
    connect(reset, &QPushButton::clicked, this, [this] { handle([&] { dialog_.reset(); }); });
    connect(close, &QPushButton::clicked, this, &SpacingDialogWidget::reject);

    setTabOrder(list_, text2_);
    setTabOrder(text2_, scroll_);
    setTabOrder(scroll_, zero);
    setTabOrder(zero, all);
    setTabOrder(all, remove);
    setTabOrder(remove, reset);
    setTabOrder(reset, close);

    dialog_.activate();
    refresh();
    list_->setFocus();
}

template <typename F>
void SpacingDialogWidget::handle(F f) {
    if (dialog_.busy()) {  // the removal lets events run; nothing re-enters it meanwhile
        refresh();
        return;
    }
    suite_qt::guardEvent(f);
    suite_qt::guardEvent([this] { refresh(); });
}

void SpacingDialogWidget::refresh() {
    const QSignalBlocker blockList(list_), blockText(text2_), blockScroll(scroll_);
    bool same = list_->count() == static_cast<int>(dialog_.rows.size());
    for (int i = 0; same && i < list_->count(); ++i)
        same = list_->item(i)->text().toLatin1().toStdString() == dialog_.rows[static_cast<std::size_t>(i)];
    if (!same) {
        list_->clear();
        for (const auto& r : dialog_.rows) list_->addItem(QString::fromLatin1(r.data(), static_cast<int>(r.size())));
    }
    list_->setCurrentRow(dialog_.selectedRow);
    const QString text = QString::fromStdString(dialog_.Text2.value());
    if (text2_->text() != text) text2_->setText(text);
    showMillimetres(text2_);
    scroll_->setRange(dialog_.HScroll2.min(), dialog_.HScroll2.max());
    scroll_->setValue(dialog_.HScroll2.value());
}

bool SpacingDialogWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text2_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            handle([&] { dialog_.enterDistance(); });
            return true;  // not the default button's
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SpacingDialogWidget::reject() {
    if (dialog_.busy()) return;  // not while the removal runs
    dialog_.close();
    QDialog::reject();
}

}  // namespace shapes_qt
