// The window's face of a shape's dimension dialog: a thin layer over shell::DimensionDialog.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "shell/dimension_dialog.h"

namespace app {

class DimensionDialogWidget : public QDialog {
    Q_OBJECT
public:
    DimensionDialogWidget(shell::DimensionDialog& dialog, QWidget* mainWindow);

    void accept() override;  // Picture2, Enter
    void reject() override;  // Picture1, Escape, closing the dialog

private:
    shell::DimensionDialog& dialog_;
    QLineEdit *text1_ = nullptr, *text2_ = nullptr;
    QLabel* label4_ = nullptr;
};

}  // namespace app
