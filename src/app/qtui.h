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
    shell::Answer ask(const std::string& text, const std::string& title) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override;
    void terminate() override;
    void redraw() override;
    void controlsChanged() override;
    void processEvents() override;
    void pause(double seconds) override;
    bool openDocument(const std::string& path) override;
    void runDimensionDialog(shell::DimensionDialog& dialog) override;
    bool windowPlace(int& topTwips, int& leftTwips) override;

    void runDialog(shell::DialogId id) override {
        if (onRunDialog) onRunDialog(id);
    }
    void setWindowsEnabled(bool enabled) override;

    std::function<void()> onRedraw, onControlsChanged;
    std::function<void(shell::DialogId)> onRunDialog;
    bool terminated = false;

private:
    QWidget* parent_;
};

}  // namespace app
