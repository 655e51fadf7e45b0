// The window's face of a shape's dimension dialog: a thin layer over shapes::DimensionDialog.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "shapes/dimension_dialog.h"

namespace shapes_qt {

class DimensionDialogWidget : public QDialog {
    Q_OBJECT
public:
    DimensionDialogWidget(shapes::DimensionDialog& dialog, QWidget* mainWindow);

    void accept() override;  // Picture2, Enter
    void reject() override;  // Picture1, Escape, closing the dialog

private:
    shapes::DimensionDialog& dialog_;
    QLineEdit *text1_ = nullptr, *text2_ = nullptr;
    QLabel* label4_ = nullptr;
};

}  // namespace shapes_qt
