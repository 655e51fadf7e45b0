#include "app/qtui.h"

#include <filesystem>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

#include "app/dimension_dialog_qt.h"
#include "app/preset_dialogs_qt.h"
#include "app/spacing_dialog_qt.h"
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

void QtUi::runDialog(shell::DimensionDialog& dialog) {
    DimensionDialogWidget widget(dialog, parent_);
    widget.exec();
}

void QtUi::runDialog(shell::SpacingDialog& dialog) {
    SpacingDialogWidget widget(dialog, parent_);
    widget.exec();
    controlsChanged();
}

void QtUi::runDialog(shell::ApertureDialog& dialog) {
    runApertureDialog(dialog, parent_);
    controlsChanged();
}

void QtUi::runDialog(shell::PresettingDialog& dialog) {
    runPresettingDialog(dialog, parent_);
    controlsChanged();
}

void QtUi::runDialog(shell::YesNoDialog& dialog) { runYesNoDialog(dialog, parent_); }

}  // namespace app
