// The text stage's window: the text, the font, a live preview with the bridges (which the user
// can move, delete and add with the mouse), "Next", "Exit".
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
#include "text_qt/lettering_view.h"

namespace text_qt {

class TextWindow : public QWidget {
public:
    TextWindow(const QString& folder, text::Variant variant);
    // another program works in the folder (the user was told): the window is not to be shown
    bool refused() const { return refused_; }

private:
    void makeControls(text::Variant variant);
    void layOut();
    void connectControls();
    void fillFamilies();
    void fillStyles(const QString& keep);
    void fontChosen();
    void chooseFile();
    void refresh();
    void next();
    // placing bridges by hand in the preview
    void pressAt(text::Pt p, double pick);
    void dragTo(text::Pt p);
    void deleteSelected();
    void resetBridges();
    void showLetters();  // the preview and the status line as the letters are now

    suite_qt::QtUi port_;
    text::TextStage stage_;
    QLineEdit* text_;
    QComboBox* family_;
    QComboBox* style_;
    QPushButton* fileButton_;
    LetteringView* view_;
    QCheckBox* twoBridges_;
    QPushButton* deleteBridge_;
    QPushButton* resetBridges_;
    QLabel* drawing_;  // the b and h the bridges are made for
    QLabel* status_;
    QPushButton* next_;
    QPushButton* exit_;
    QTimer typing_;
    std::optional<text::Lettering> lettering_;  // as shown, with the bridges placed by hand
    std::optional<text::BridgeRef> selected_;
    text::Pt grab_;    // where the selected strip's middle lies from the point that took it
    QString note_;     // what the last change of text or font did to the bridges placed by hand
    bool filling_ = false;
    bool refused_ = false;
};

}  // namespace text_qt
