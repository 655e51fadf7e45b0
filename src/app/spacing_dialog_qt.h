// The window's face of the letter spacing editor form7: a thin layer over shell::SpacingDialog.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "shell/spacing_dialog.h"

namespace app {

class SpacingDialogWidget : public QDialog {
    Q_OBJECT
public:
    SpacingDialogWidget(shell::SpacingDialog& dialog, QWidget* mainWindow);

    void reject() override;  // Escape, closing the window: as "Close"
    bool eventFilter(QObject* watched, QEvent* event) override;  // Enter in the distance box

    // the widgets follow the dialog's controls (no signal fires meanwhile)
    void refresh();

private:
    QGroupBox* buildSelected(QPushButton*& zero);
    // runs a handler unless the dialog is busy, then follows the controls
    template <typename F>
    void handle(F f);

    shell::SpacingDialog& dialog_;
    QListWidget* list_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QScrollBar* scroll_ = nullptr;
};

}  // namespace app
