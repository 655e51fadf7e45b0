// Form16, the main window: a thin binding of widgets to the session's controls.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

#include "app/qtui.h"
#include "shell/dimension_dialog.h"
#include "shell/session.h"

namespace app {

// The preview picture box: white, framed, 640 x 480.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    PreviewWidget(QWidget* parent, const preview::DisplayList& picture);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const preview::DisplayList& picture_;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const QString& appFolder, const QString& commandLine);
    shell::Session& session() { return *session_; }
    bool terminated() const { return ui_.terminated; }

public slots:
    void exitMenu();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildWidgets();
    void refreshFromControls();
    void bindCheck(QCheckBox* box, shell::Control<int>& control);

    QtUi ui_;
    std::unique_ptr<shell::Session> session_;
    PreviewWidget* bild1_ = nullptr;
    QLineEdit *texth_ = nullptr, *textv_ = nullptr, *text4_ = nullptr, *text5_ = nullptr,
              *text6_ = nullptr;
    QCheckBox *check1_ = nullptr, *check2_ = nullptr, *check3_ = nullptr, *check4_ = nullptr,
              *check5_ = nullptr;
    QScrollBar *hscroll1_ = nullptr, *hscroll2_ = nullptr;
    QGroupBox *frame9_ = nullptr, *frame11_ = nullptr;
    QPushButton *command2_ = nullptr, *command4_ = nullptr;
    QLabel *label1_ = nullptr, *label2_ = nullptr, *picture4_ = nullptr;
    bool closing_ = false;
};

}  // namespace app
