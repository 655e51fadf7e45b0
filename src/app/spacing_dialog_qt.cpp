#include <QKeyEvent>
#include "app/spacing_dialog_qt.h"

#include "app/guard.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/widgets.h"
#include "shell/session.h"

namespace app {

namespace {

QFont listFont() {
    QFont f("Courier New");
    f.setStyleHint(QFont::Monospace);
    if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return f;
}

QPushButton* button(QWidget* parent, const char* caption, const char* name, const QRect& place) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    b->setAutoDefault(true);  // Enter presses the button that has the focus
    return b;
}

void label(QWidget* parent, const char* caption, const QRect& place) {
    (new QLabel(caption, parent))->setGeometry(place);
}

}  // namespace

SpacingDialogWidget::SpacingDialogWidget(shell::SpacingDialog& dialog, QWidget* mainWindow)
    : QDialog(mainWindow), dialog_(dialog) {
    setObjectName("form7");
    setWindowTitle(shell::kSpacingCaption);
    setModal(true);
    setFixedSize(470, 300);
    const QPoint main = mainWindow ? mainWindow->pos() : QPoint(0, 0);
    move(shell::SpacingDialog::leftTwips(main.x() * shell::kTwipsPerPixel) / shell::kTwipsPerPixel,
         shell::SpacingDialog::topTwips(main.y() * shell::kTwipsPerPixel) / shell::kTwipsPerPixel);

    label(this, "Letters", {12, 6, 70, 20});
    label(this, "+ Distance", {100, 6, 100, 20});
    list_ = new QListWidget(this);
    list_->setObjectName("List1");
    list_->setGeometry(10, 28, 200, 262);
    list_->setFont(listFont());

    auto* frame = new QGroupBox("Selected", this);
    frame->setObjectName("Frame3");
    frame->setGeometry(222, 10, 238, 110);
    label(frame, "Distance:", {10, 26, 70, 24});
    text2_ = new QLineEdit(frame);
    text2_->setObjectName("Text2");
    text2_->setGeometry(84, 26, 90, 24);
    scroll_ = new QScrollBar(Qt::Horizontal, frame);
    scroll_->setObjectName("HScroll2");
    scroll_->setGeometry(10, 62, 164, 20);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(20);
    keyboardSlider(scroll_);
    auto* zero = button(frame, "= 0", "Command5", {182, 58, 46, 28});

    auto* all = button(this, "(+) Distance for all letters", "Command4", {222, 130, 238, 30});
    auto* remove = button(this, "Remove empty space", "Command2", {222, 168, 238, 30});
    auto* reset = button(this, "Reset", "Command1", {222, 220, 114, 30});
    auto* close = button(this, "Close", "Command3", {346, 220, 114, 30});
    close->setDefault(true);  // Enter elsewhere closes, as Escape does; in the box it applies
    text2_->installEventFilter(this);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) handle([&] { dialog_.clickList(row); });
    });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { handle([&] { dialog_.scroll(v); }); });
    connect(text2_, &QLineEdit::textEdited, this,
            [this](const QString& t) { dialog_.Text2.assign(t.toStdString()); });
    connect(zero, &QPushButton::clicked, this, [this] { handle([&] { dialog_.clickZero(); }); });
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
    guardEvent(f);
    guardEvent([this] { refresh(); });
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

}  // namespace app
