// Form16, the main window: a thin binding of widgets to the session's controls.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "app/qtui.h"
#include "shell/dimension_dialog.h"
#include "shell/session.h"

namespace app {

// The preview picture box: white, framed, 640 x 480.
// Mouse presses and moves over it go to the session, in picture coordinates.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    PreviewWidget(QWidget* parent, const preview::DisplayList& picture);
    std::function<void(int button, double x, double y)> onMouseDown;
    std::function<void(double x, double y)> onMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    const preview::DisplayList& picture_;
};

// The pictures of the main window (the preview, the gallery, the picture buttons) carry this
// property; a wheel turn over any of them zooms the preview.
inline constexpr const char* kPictureProperty = "lkPicture";

// A frame that reacts to a click on its free area, as the option frames do.
class ClickFrame : public QGroupBox {
public:
    ClickFrame(const QString& caption, QWidget* parent, std::function<void()> onClick)
        : QGroupBox(caption, parent), onClick_(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::function<void()> onClick_;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // the program folder as the system's bytes, the command line as given
    MainWindow(const std::string& appFolder, const std::string& commandLine);
    ~MainWindow() override;
    shell::Session& session() { return *session_; }
    bool terminated() const { return ui_.terminated; }

public slots:
    void exitMenu();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildWidgets();
    void refreshFromControls();
    void bindCheck(QCheckBox* box, shell::Control<int>& control);
    // a picture button that runs a handler of the session, then shows the controls' state
    QToolButton* pictureButton(QWidget* parent, const char* name, const QString& tip, const QIcon& icon,
                               QRect geometry, std::function<void(shell::Session&)> handler);
    void run(const std::function<void(shell::Session&)>& handler);
    // one event: the handler under the fault guard, then the widgets follow the controls
    void guarded(const std::function<void()>& handler);

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
    QLabel *label1_ = nullptr, *label2_ = nullptr;
    QToolButton* picture4_ = nullptr;
    std::vector<QToolButton*> gallery_;
    bool closing_ = false;
};

}  // namespace app
