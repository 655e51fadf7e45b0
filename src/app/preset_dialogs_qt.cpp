#include "app/preset_dialogs_qt.h"

#include "app/guard.h"

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

#include "shell/preset_dialogs.h"
#include "shell/session.h"
#include "shell/yes_no_dialog.h"

namespace app {

namespace {
// Enter presses the default button, Escape and the close box take the other way out.
QPushButton* button(QDialog& d, const char* name, const char* caption, QRect geometry) {
    auto* b = new QPushButton(caption, &d);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}
}  // namespace

void runApertureDialog(shell::ApertureDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName("form22");
    d.setWindowTitle(shell::ApertureDialog::kCaption);
    d.setFixedSize(300, 130);
    const QPoint main = mainWindow->pos();
    d.move(main.x() + shell::ApertureDialog::kLeftOffsetTwips / shell::kTwipsPerPixel,
           main.y() + shell::ApertureDialog::kTopOffsetTwips / shell::kTwipsPerPixel);
    (new QLabel(shell::ApertureDialog::kLabel1, &d))->setGeometry(10, 10, 150, 24);
    auto* text1 = new QLineEdit(QString::fromStdString(dialog.text1), &d);
    text1->setObjectName("Text1");
    text1->setGeometry(165, 10, 120, 24);
    auto* label2 = new QLabel(QString::fromStdString(dialog.label2), &d);
    label2->setObjectName("Label2");
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    label2->setFont(mono);
    label2->setGeometry(10, 45, 280, 24);
    auto* ok = button(d, "Picture2", "OK", {120, 88, 80, 30});
    ok->setDefault(true);
    auto* cancel = button(d, "Picture1", "Cancel", {210, 88, 80, 30});
    QObject::connect(ok, &QPushButton::clicked, &d, [&] {
        guardEvent([&] {
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

void runPresettingDialog(shell::PresettingDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName("form361");
    d.setWindowTitle(shell::PresettingDialog::kCaption);
    d.setFixedSize(330, 230);
    const QRect main = mainWindow->frameGeometry();
    d.move(main.left() + main.width() / 2 - d.width() / 2, main.top() + main.height() / 2 - d.height() / 2);

    auto* frame3 = new QGroupBox("Minimum lenght (Lines and arcs)", &d);
    frame3->setObjectName("Frame3");
    frame3->setGeometry(10, 10, 310, 80);
    auto* option3 = new QRadioButton("0.004 inches", frame3);
    option3->setObjectName("Option3");
    option3->move(10, 25);
    auto* option4 = new QRadioButton("0.002 inches", frame3);
    option4->setObjectName("Option4");
    option4->move(10, 50);
    auto* group = new QButtonGroup(&d);
    group->addButton(option3, 3);
    group->addButton(option4, 4);
    option3->setChecked(dialog.option == 3);
    option4->setChecked(dialog.option == 4);

    auto* frame2 = new QGroupBox("Maximum radius:", &d);
    frame2->setObjectName("Frame2");
    frame2->setGeometry(10, 100, 310, 80);
    auto* text1 = new QLineEdit(QString::fromStdString(dialog.text1), frame2);
    text1->setObjectName("Text1");
    text1->setGeometry(10, 25, 100, 24);
    (new QLabel("Value: 79  to 390 inches", frame2))->setGeometry(120, 25, 180, 24);

    auto* apply = button(d, "Schließen", "Apply", {150, 190, 80, 30});
    apply->setDefault(true);
    auto* exit = button(d, "Command1", "Exit", {240, 190, 80, 30});
    QObject::connect(apply, &QPushButton::clicked, &d, [&] {
        guardEvent([&] {
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

// form100: the question with "Yes" and "No", centred over the main window.
void runYesNoDialog(shell::YesNoDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName(shell::YesNoDialog::kName);
    d.setWindowTitle(QString::fromStdString(dialog.title()));
    auto* picture = new QLabel(&d);
    picture->setObjectName("Picture1");
    picture->setPixmap(d.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(40, 40));
    auto* label = new QLabel(QString::fromStdString(dialog.question()), &d);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    auto* yes = new QPushButton("Yes", &d);
    yes->setObjectName("Command1");
    yes->setDefault(true);
    auto* no = new QPushButton("No", &d);
    no->setObjectName("Command3");
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(label, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(row);
    layout->addLayout(buttons);
    QObject::connect(yes, &QPushButton::clicked, &d, [&] {
        dialog.yes();
        d.accept();
    });
    QObject::connect(no, &QPushButton::clicked, &d, [&] {
        dialog.no();
        d.accept();
    });
    d.setMinimumWidth(360);
    d.adjustSize();
    const QRect main = mainWindow->frameGeometry();
    d.move(main.left() + (main.width() - d.width()) / 2, main.top() + (main.height() - d.height()) / 2);
    d.exec();
}

}  // namespace app
