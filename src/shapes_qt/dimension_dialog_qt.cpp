#include "shapes_qt/dimension_dialog_qt.h"

#include "suite_qt/guard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "preview_qt/shape_picture.h"
#include "shapes_qt/widgets.h"
#include "shapes/session.h"
#include "shapes/shape_words.h"

namespace shapes_qt {

namespace {
QLineEdit* heightRow(QWidget* parent, QGridLayout* grid, const char* caption, const char* name, const QString& tip) {
    auto* label = new QLabel(caption, parent);
    label->setToolTip(tip);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(tip);
    edit->setMinimumWidth(100);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(millimetresBeside(edit, parent), row, 2);
    return edit;
}
}  // namespace

DimensionDialogWidget::DimensionDialogWidget(shapes::DimensionDialog& dialog, QWidget* mainWindow)
    : QDialog(mainWindow), dialog_(dialog) {
    setObjectName(dialog.form().name);
    setWindowTitle(shapes::kDialogCaption);
    setModal(true);

    const QString words = QString::fromStdString(shapes::shapeTooltip(dialog.shape()));
    auto* picture = new QLabel(this);
    picture->setObjectName("auswahl");
    picture->setFrameShape(QFrame::Box);
    picture->setToolTip(words);
    const QSize pictureSize(240, 180);
    const qreal ratio = devicePixelRatioF();
    QPixmap pm = QPixmap::fromImage(preview_qt::shapePictureWithHeights(dialog.shape(), pictureSize * ratio, dialog.twoHeights()));
    pm.setDevicePixelRatio(ratio);
    picture->setPixmap(pm);

    auto* range = new QLabel(shapes::kInputRangeLabel, this);
    range->setToolTip("The heights this shape takes, in inches");
    auto* rangeMm = new QLabel(QString::fromStdString(shapes::rangeInMillimetres(dialog.form().lowerBound, shapes::kUpperBoundInches)), this);
    rangeMm->setObjectName("rangeMm");
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(range);
    rangeRow->addWidget(rangeMm);
    rangeRow->addStretch();
    auto* grid = new QGridLayout;
    if (dialog.twoHeights()) {
        text1_ = heightRow(this, grid, " H:", "Text1", "The greater height H of the shape, in inches (see the picture)");
        text2_ = heightRow(this, grid, " h:", "Text2", "The smaller height h of the shape, in inches (see the picture)");
    } else {
        text1_ = heightRow(this, grid, " h:", "Text1", "The height h of the shape, in inches");
    }
    auto* right = new QVBoxLayout;
    right->addLayout(rangeRow);
    right->addLayout(grid);
    if (dialog.form().kind == shapes::DialogKind::HMax) {
        label4_ = new QLabel(this);
        label4_->setObjectName("Label4");
        label4_->setToolTip("The greatest height H may have here, in inches");
        right->addWidget(label4_);
    }
    right->addStretch();

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Picture2");
    ok->setDefault(true);  // Enter accepts
    ok->setToolTip("Take the heights and build the shape");
    connect(ok, &QPushButton::clicked, this, &DimensionDialogWidget::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Picture1");
    cancel->setToolTip("Close without changing the shape");
    connect(cancel, &QPushButton::clicked, this, &DimensionDialogWidget::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    dialog_.activate();
    text1_->setText(QString::fromStdString(dialog_.text1));
    if (text2_) text2_->setText(QString::fromStdString(dialog_.text2));
    if (label4_) label4_->setText(QString::fromStdString(dialog_.label4));
    text1_->setFocus();

    const QPoint main = mainWindow ? mainWindow->pos() : QPoint(0, 0);
    placeDialog(this,
                QPoint(dialog.leftTwips(main.x() * shapes::kTwipsPerPixel) / shapes::kTwipsPerPixel,
                       dialog.topTwips(main.y() * shapes::kTwipsPerPixel) / shapes::kTwipsPerPixel),
                mainWindow);
}

void DimensionDialogWidget::accept() {
    suite_qt::guardEvent([this] {
        dialog_.text1 = text1_->text().toStdString();
        if (text2_) dialog_.text2 = text2_->text().toStdString();
        const bool taken = dialog_.accept();
        if (label4_) label4_->setText(QString::fromStdString(dialog_.label4));
        if (taken) QDialog::accept();
    });
}

void DimensionDialogWidget::reject() {
    suite_qt::guardEvent([this] { dialog_.cancel(); });
    QDialog::reject();
}

}  // namespace shapes_qt
