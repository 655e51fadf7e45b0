// The text stage's window: the text, the font, a live preview with the bridges, "Next", "Exit".
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "suite_qt/qt_ui.h"
#include "text/stage.h"

namespace text_qt {

// The letters as the stencil will have them: outlines, bridge strips, loose islands in red.
class LetteringView : public QWidget {
public:
    explicit LetteringView(QWidget* parent = nullptr);
    void show(const text::Lettering* l);  // nullptr: nothing to show

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::optional<text::Lettering> lettering_;
};

class TextWindow : public QWidget {
public:
    TextWindow(const QString& folder, text::Variant variant);
    // another program works in the folder (the user was told): the window is not to be shown
    bool refused() const { return refused_; }

private:
    void fillFamilies();
    void fillStyles(const QString& keep);
    void fontChosen();
    void chooseFile();
    void refresh();
    void next();

    suite_qt::QtUi port_;
    text::TextStage stage_;
    QLineEdit* text_;
    QComboBox* family_;
    QComboBox* style_;
    QPushButton* fileButton_;
    LetteringView* view_;
    QCheckBox* twoBridges_;
    QLabel* drawing_;  // the b and h the bridges are made for
    QLabel* status_;
    QPushButton* next_;
    QPushButton* exit_;
    QTimer typing_;
    bool filling_ = false;
    bool refused_ = false;
};

}  // namespace text_qt
