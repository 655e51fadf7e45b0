#include "app/qtui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include "app/dimension_dialog_qt.h"
#include "shell/session.h"

namespace app {

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    const QString prog = QString::fromStdString(program);
    const QFileInfo info(prog);
    if (!info.isFile() || !info.isExecutable()) return false;
    return QProcess::startDetached(prog, list, info.absolutePath());
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

bool QtUi::askYesNo(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, QString::fromStdString(title), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
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

void QtUi::pause(double seconds) {
    // events keep running meanwhile, as they did while the pause of a zoom step lasted
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool QtUi::openDocument(const std::string& path) {
    if (!QFileInfo(QString::fromStdString(path)).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
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
