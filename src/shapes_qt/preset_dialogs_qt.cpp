#include "shapes_qt/preset_dialogs_qt.h"

#include "suite_qt/guard.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "geom/units.h"
#include "shapes_qt/widgets.h"
#include "shapes/preset_dialogs.h"
#include "shapes/session.h"
#include "suite/port.h"

namespace shapes_qt {

namespace {
// Enter presses the default button, Escape and the close box take the other way out.
QPushButton* button(QDialog& d, const char* name, const char* caption, const char* tip) {
    auto* b = new QPushButton(caption, &d);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

// the buttons in a row at the dialog's right
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}
}  // namespace

void runApertureDialog(shapes::ApertureDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName("form22");
    d.setWindowTitle(shapes::ApertureDialog::kCaption);
    auto* label1 = new QLabel(shapes::ApertureDialog::kWidthCaption, &d);
    label1->setToolTip("Width b of the apertures (the bridges that hold the inner parts of the letters), in inches");
    auto* text1 = new QLineEdit(QString::fromStdString(dialog.text1), &d);
    text1->setObjectName("Text1");
    text1->setToolTip(label1->toolTip());
    text1->setMinimumWidth(120);
    auto* label2 = new QLabel(QString::fromStdString(dialog.label2), &d);
    label2->setObjectName("Label2");
    label2->setToolTip("The widths b may take for these letters, in inches");
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    label2->setFont(mono);
    auto* ok = button(d, "Picture2", "OK", "Take the width b");
    ok->setDefault(true);
    auto* cancel = button(d, "Picture1", "Cancel", "Close without changing the width b");
    auto* row = new QHBoxLayout;
    row->addWidget(label1);
    row->addWidget(text1, 1);
    row->addWidget(millimetresBeside(text1, &d));
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(label2);
    rangeRow->addWidget(new QLabel(QString::fromStdString(shapes::rangeInMillimetres(dialog.lowInches(), dialog.highInches())), &d));
    rangeRow->addStretch();
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(row);
    layout->addLayout(rangeRow);
    layout->addLayout(buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    d.setMinimumWidth(300);
    const QPoint main = mainWindow->pos();
    placeDialog(&d,
                QPoint(main.x() + shapes::ApertureDialog::kLeftOffsetTwips / shapes::kTwipsPerPixel,
                       main.y() + shapes::ApertureDialog::kTopOffsetTwips / shapes::kTwipsPerPixel),
                mainWindow);
    QObject::connect(ok, &QPushButton::clicked, &d, [&] {
        suite_qt::guardEvent([&] {
            dialog.text1 = text1->text().toStdString();
            if (dialog.accept()) d.accept();
        });
    });
    QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
    QObject::connect(&d, &QDialog::rejected, &d, [&] { dialog.cancel(); });
    text1->setFocus();
    text1->selectAll();
    d.exec();
}

void runPresettingDialog(shapes::PresettingDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName("form361");
    d.setWindowTitle(shapes::PresettingDialog::kCaption);
    const char* lengthTip = "The shortest line or arc the conversion makes";
    auto* frame3 = new QGroupBox("Minimum lenght (Lines and arcs)", &d);
    frame3->setObjectName("Frame3");
    frame3->setToolTip(lengthTip);
    auto* option3 = new QRadioButton(QString("0.004 inches = ") + QString::fromStdString(shapes::millimetresText(0.004 * geom::kMmPerInch)), frame3);
    option3->setObjectName("Option3");
    option3->setToolTip(QString(lengthTip) + ": 0.004 inches");
    auto* option4 = new QRadioButton(QString("0.002 inches = ") + QString::fromStdString(shapes::millimetresText(0.002 * geom::kMmPerInch)), frame3);
    option4->setObjectName("Option4");
    option4->setToolTip(QString(lengthTip) + ": 0.002 inches");
    auto* lengths = new QVBoxLayout(frame3);
    lengths->addWidget(option3);
    lengths->addWidget(option4);
    auto* group = new QButtonGroup(&d);
    group->addButton(option3, 3);
    group->addButton(option4, 4);
    option3->setChecked(dialog.option == 3);
    option4->setChecked(dialog.option == 4);

    auto* frame2 = new QGroupBox("Maximum radius:", &d);
    frame2->setObjectName("Frame2");
    auto* text1 = new QLineEdit(QString::fromStdString(dialog.text1), frame2);
    text1->setObjectName("Text1");
    text1->setToolTip("The greatest radius of an arc the conversion makes, in inches (79 to 390); flatter curves become lines");
    text1->setMinimumWidth(100);
    auto* valueRange = new QLabel(QString("Value: 79  to 390 inches ") +
                                      QString::fromStdString(shapes::rangeInMillimetres(79, 390)).mid(3), frame2);
    valueRange->setToolTip(text1->toolTip());
    auto* radius = new QHBoxLayout(frame2);
    radius->addWidget(text1);
    radius->addWidget(millimetresBeside(text1, frame2));
    radius->addWidget(valueRange, 1);

    auto* apply = button(d, "Schließen", "Apply", "Take the settings and close");
    apply->setDefault(true);
    auto* exit = button(d, "Command1", "Exit", "Close without changing the settings");
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(frame3);
    layout->addWidget(frame2);
    layout->addLayout(buttonRow({apply, exit}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    d.setMinimumWidth(330);
    layout->activate();
    const QRect main = mainWindow->frameGeometry();
    placeDialog(&d, QPoint(main.left() + main.width() / 2 - d.width() / 2, main.top() + main.height() / 2 - d.height() / 2),
                mainWindow);

    QObject::connect(apply, &QPushButton::clicked, &d, [&] {
        suite_qt::guardEvent([&] {
            dialog.text1 = text1->text().toStdString();
            dialog.option = group->checkedId() < 0 ? 0 : group->checkedId();
            if (dialog.apply()) return d.accept();
            text1->setText(QString::fromStdString(dialog.text1));
        });
    });
    QObject::connect(exit, &QPushButton::clicked, &d, &QDialog::reject);
    QObject::connect(&d, &QDialog::rejected, &d, [&] { dialog.exit(); });
    text1->setFocus();
    d.exec();
}

}  // namespace shapes_qt
