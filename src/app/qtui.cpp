#include "app/qtui.h"

#include <filesystem>

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

#include "app/dimension_dialog_qt.h"
#include "shell/session.h"
#include "workfile/spawn.h"

namespace app {

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    return wf::startDetached(program, args);
}

void QtUi::message(const std::string& text, const std::string& title, shell::Icon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == shell::Icon::Critical      ? QMessageBox::Critical
                : icon == shell::Icon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    box.exec();
}

// form100: the question with "Yes" and "No", centred over the main window.
shell::Answer QtUi::ask(const std::string& text, const std::string& title) {
    QDialog d(parent_);
    d.setObjectName("form100");
    d.setWindowTitle(QString::fromStdString(title));
    auto* picture = new QLabel(&d);
    picture->setObjectName("Picture1");
    picture->setPixmap(d.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(40, 40));
    auto* label = new QLabel(QString::fromStdString(text), &d);
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
    shell::Answer answer = shell::Answer::Closed;
    QObject::connect(yes, &QPushButton::clicked, &d, [&] { answer = shell::Answer::Yes; d.accept(); });
    QObject::connect(no, &QPushButton::clicked, &d, [&] { answer = shell::Answer::No; d.accept(); });
    d.setMinimumWidth(360);
    d.adjustSize();
    const QRect main = parent_->frameGeometry();
    d.move(main.left() + (main.width() - d.width()) / 2, main.top() + (main.height() - d.height()) / 2);
    d.exec();
    return answer;
}

bool QtUi::startProgram(const std::string& program, const std::vector<std::string>& args) {
    return startDetached(program, args);
}

void QtUi::terminate() {
    terminated = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void QtUi::redraw() {
    if (onRedraw) onRedraw();
}

void QtUi::controlsChanged() {
    if (onControlsChanged) onControlsChanged();
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

bool QtUi::windowPlace(int& topTwips, int& leftTwips) {
    const QRect frame = parent_->frameGeometry();
    topTwips = frame.top() * shell::kTwipsPerPixel;
    leftTwips = frame.left() * shell::kTwipsPerPixel;
    return true;
}

void QtUi::runDimensionDialog(shell::DimensionDialog& dialog) {
    DimensionDialogWidget widget(dialog, parent_);
    widget.exec();
}

}  // namespace app
