#include "app/dimension_dialog_qt.h"

#include "app/guard.h"

#include <QPixmap>
#include <QPushButton>

#include "app/shape_picture.h"
#include "shell/session.h"

namespace app {

namespace {
QLineEdit* heightRow(QWidget* parent, const char* caption, const char* name, int y) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(180, y, 30, 24);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(215, y, 100, 24);
    return edit;
}
}  // namespace

DimensionDialogWidget::DimensionDialogWidget(shell::DimensionDialog& dialog, QWidget* mainWindow)
    : QDialog(mainWindow), dialog_(dialog) {
    setObjectName(dialog.form().name);
    setWindowTitle(shell::kDialogCaption);
    setModal(true);
    setFixedSize(340, 190);
    const QPoint main = mainWindow ? mainWindow->pos() : QPoint(0, 0);
    move(dialog.leftTwips(main.x() * shell::kTwipsPerPixel) / shell::kTwipsPerPixel,
         dialog.topTwips(main.y() * shell::kTwipsPerPixel) / shell::kTwipsPerPixel);

    auto* picture = new QLabel(this);
    picture->setObjectName("auswahl");
    picture->setGeometry(10, 10, 160, 120);
    picture->setFrameShape(QFrame::Box);
    picture->setPixmap(QPixmap::fromImage(shapePicture(dialog.shape(), QSize(158, 118))));

    auto* range = new QLabel(shell::kInputRangeLabel, this);
    range->setGeometry(180, 10, 150, 22);
    if (dialog.twoHeights()) {
        text1_ = heightRow(this, " H:", "Text1", 40);
        text2_ = heightRow(this, " h:", "Text2", 72);
    } else {
        text1_ = heightRow(this, " h:", "Text1", 56);
    }
    if (dialog.form().kind == shell::DialogKind::HMax) {
        label4_ = new QLabel(this);
        label4_->setObjectName("Label4");
        label4_->setGeometry(180, 104, 150, 22);
    }

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Picture2");
    ok->setGeometry(180, 145, 70, 30);
    ok->setDefault(true);  // Enter accepts
    connect(ok, &QPushButton::clicked, this, &DimensionDialogWidget::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Picture1");
    cancel->setGeometry(260, 145, 70, 30);
    connect(cancel, &QPushButton::clicked, this, &DimensionDialogWidget::reject);

    dialog_.activate();
    text1_->setText(QString::fromStdString(dialog_.text1));
    if (text2_) text2_->setText(QString::fromStdString(dialog_.text2));
    if (label4_) label4_->setText(QString::fromStdString(dialog_.label4));
    text1_->setFocus();
}

void DimensionDialogWidget::accept() {
    guardEvent([this] {
        dialog_.text1 = text1_->text().toStdString();
        if (text2_) dialog_.text2 = text2_->text().toStdString();
        const bool taken = dialog_.accept();
        if (label4_) label4_->setText(QString::fromStdString(dialog_.label4));
        if (taken) QDialog::accept();
    });
}

void DimensionDialogWidget::reject() {
    guardEvent([this] { dialog_.cancel(); });
    QDialog::reject();
}

}  // namespace app
