// The start window: five buttons over the start window's logic, a choice of the kind of
// lettering, and a line under each button that says why it is unavailable.
#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>
#include <map>
#include <memory>

#include "start/start.h"

namespace start_qt {

class StartWidget : public QWidget {
    Q_OBJECT
public:
    // `ui`: the port the actions go through; nullptr: the real outside world (message boxes,
    // programs started, the desktop's PDF viewer)
    explicit StartWidget(const std::string& folder, suite::Ui* ui = nullptr);
    ~StartWidget() override;

    start::StartWindow& logic() { return *logic_; }
    QPushButton* button(start::Action a) const { return buttons_.at(a); }
    // the buttons and notes follow the folder as it is now
    void refresh();

protected:
    bool event(QEvent* e) override;

private:
    QGridLayout* buildActions();
    QVBoxLayout* buildKindChoice();
    QLabel* folderLine();
    void click(start::Action a);

    std::unique_ptr<suite::Ui> ownUi_;
    std::unique_ptr<start::StartWindow> logic_;
    std::map<start::Action, QPushButton*> buttons_;
    std::map<start::Action, QLabel*> notes_;
    QRadioButton *stencil_ = nullptr, *parts_ = nullptr;
};

}  // namespace start_qt
