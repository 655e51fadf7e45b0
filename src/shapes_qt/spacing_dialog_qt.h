// The window's face of the letter spacing editor form7: a thin layer over shapes::SpacingDialog.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "shapes/spacing_dialog.h"

namespace shapes_qt {

class SpacingDialogWidget : public QDialog {
    Q_OBJECT
public:
    SpacingDialogWidget(shapes::SpacingDialog& dialog, QWidget* mainWindow);

    void reject() override;  // Escape, closing the window: as "Close"
    bool eventFilter(QObject* watched, QEvent* event) override;  // Enter in the distance box

    // the widgets follow the dialog's controls (no signal fires meanwhile)
    void refresh();

private:
    QGroupBox* buildSelected(QPushButton*& zero);
    // runs a handler unless the dialog is busy, then follows the controls
    template <typename F>
    void handle(F f);

    shapes::SpacingDialog& dialog_;
    QListWidget* list_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QScrollBar* scroll_ = nullptr;
};

}  // namespace shapes_qt
