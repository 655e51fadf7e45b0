// The real outside world of the window: message boxes, process start, termination.
#pragma once

#include <QWidget>
#include <functional>

#include "shell/ui.h"

namespace app {

// Starts a program with an argument list (never through a shell), not waiting for it.
bool startDetached(const std::string& program, const std::vector<std::string>& args);

class QtUi : public shell::Ui {
public:
    explicit QtUi(QWidget* parent) : parent_(parent) {}
    void message(const std::string& text, const std::string& title, shell::Icon icon) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override;
    void redraw() override;
    void controlsChanged() override;
    void processEvents() override;
    void pause(double seconds) override;
    bool openDocument(const std::string& path) override;
    bool windowPlace(int& topTwips, int& leftTwips) override;
    void setWindowsEnabled(bool enabled) override;

    // each dialog's face, modal over the window; the widgets follow the controls afterwards
    void runDialog(shell::DimensionDialog& dialog) override;
    void runDialog(shell::SpacingDialog& dialog) override;
    void runDialog(shell::ApertureDialog& dialog) override;
    void runDialog(shell::PresettingDialog& dialog) override;
    void runDialog(shell::YesNoDialog& dialog) override;

    std::function<void()> onRedraw, onControlsChanged;
    bool terminated = false;

private:
    QWidget* parent_;
};

}  // namespace app
