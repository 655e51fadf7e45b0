#include "suite_qt/qt_ui.h"

#include <algorithm>
#include <filesystem>

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "workfile/spawn.h"

namespace suite_qt {

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    return wf::startDetached(program, args);
}

QPoint placeInside(const QRect& r, const QRect& area) {
    const int x = std::max(area.left(), std::min(r.left(), area.left() + area.width() - r.width()));
    const int y = std::max(area.top(), std::min(r.top(), area.top() + area.height() - r.height()));
    return {x, y};
}

void placeDialog(QWidget* dialog, QPoint wanted, QWidget* mainWindow) {
    if (dialog->layout()) dialog->layout()->activate();
    dialog->adjustSize();
    QScreen* screen = mainWindow ? mainWindow->screen() : dialog->screen();
    if (!screen) {
        dialog->move(wanted);
        return;
    }
    // the dialog's frame is not known before it shows: take the main window's
    QSize frame(8, 34);
    if (mainWindow && mainWindow->frameGeometry() != mainWindow->geometry())
        frame = mainWindow->frameGeometry().size() - mainWindow->geometry().size();
    dialog->move(placeInside(QRect(wanted, dialog->size() + frame), screen->availableGeometry()));
}

void QtUi::message(const std::string& text, const std::string& title, suite::Icon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == suite::Icon::Critical      ? QMessageBox::Critical
                : icon == suite::Icon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    box.exec();
}

namespace {

// form100: the question with "Yes" and "No", centred over the main window.
void askYesNo(suite::YesNoDialog& dialog, QWidget* mainWindow) {
    QDialog d(mainWindow);
    d.setObjectName(suite::YesNoDialog::kName);
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
    yes->setToolTip("Yes: do it");
    auto* no = new QPushButton("No", &d);
    no->setToolTip("No: leave it as it is");
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
    if (mainWindow) {
        const QRect main = mainWindow->frameGeometry();
        placeDialog(&d, QPoint(main.left() + (main.width() - d.width()) / 2, main.top() + (main.height() - d.height()) / 2),
                    mainWindow);
    }
    d.exec();
}

}  // namespace

void QtUi::runDialog(suite::YesNoDialog& dialog) { askYesNo(dialog, parent_); }

bool QtUi::startProgram(const std::string& program, const std::vector<std::string>& args) {
    return startDetached(program, args);
}

void QtUi::terminate() {
    terminated = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void QtUi::processEvents() { QCoreApplication::processEvents(); }

void QtUi::setWindowsEnabled(bool enabled) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->setEnabled(enabled);
}

void QtUi::pause(double seconds) {
    // events keep running meanwhile, as they did while the pause of a zoom step lasted
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool QtUi::openDocument(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    // the path's own bytes, percent-encoded: a folder name that is not UTF-8 survives
    return QDesktopServices::openUrl(
        QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/")));
}

}  // namespace suite_qt
