// The window of the cut stage: the drawing, its problems, the kind, kerf and tabs, saving,
// and the way back to the shapes stage.
#pragma once

#include <QListWidget>
#include <QPainterPath>
#include <QMainWindow>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "cut_qt/cut_cli.h"
#include "suite_qt/qt_ui.h"
#include "workfile/stage_files.h"
#include "workfile/work_lock.h"
#include "cut/cut.h"
#include "cut/settings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace cut_qt {

// The drawing with zoom (wheel, around the pointer) and pan (drag); a click on a problem
// selects it.
class DrawingView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingView(QWidget* parent = nullptr);
    void setDrawing(const cut::Drawing* d, bool refit);
    void select(int problem);  // -1: none; brings the problem into view
    void fit();
    QTransform toView() const;
    double zoom() const { return zoom_; }
    void zoomBy(double factor, QPointF at);

signals:
    void problemClicked(int problem);

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    const cut::Drawing* drawing_ = nullptr;
    QPainterPath cut_;  // the drawing's outlines, made once per drawing
    QRectF bounds_;
    double zoom_ = 1;
    QPointF pan_;
    int selected_ = -1;
    QPoint pressAt_, lastAt_;
    bool dragging_ = false;
};

// Hand-overs of up to this many letters are drawn at once; larger ones on a worker thread.
inline constexpr std::size_t kLettersDrawnAtOnce = 60;

// The cut stage's help document in the program folder.
inline constexpr const char* kHelpDocument = "cut.pdf";

class CutWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CutWindow(const Request& r, QWidget* parent = nullptr);
    // another program works in the folder (the user was told): the window is not to be shown
    bool refused() const { return refused_; }
    // the drawing shown (none while a large one is still being made)
    const cut::Drawing* drawing() const { return drawing_ ? &*drawing_ : nullptr; }
    QListWidget* problemList() const { return problems_; }
    // the line at the top that says the drawing is out of date (shown only then)
    QWidget* staleBanner() const { return banner_; }
    DrawingView* view() const { return view_; }
    // Saves without asking for a name; false (with a message) when it fails.
    bool saveTo(const std::filesystem::path& file, Output kind);
    bool saveDxfTo(const std::filesystem::path& file) { return saveTo(file, Output::Dxf); }
    bool saveSvgTo(const std::filesystem::path& file) { return saveTo(file, Output::Svg); }
    // Loads the hand-over again and redraws; the message of a bad hand-over is returned.
    std::string reload();
    // Where a save dialog starts: the folder saved to last (the first time the user's documents
    // folder), and a name made from the text and the kind.
    std::filesystem::path suggestedFile(Output kind) const;
    // Opens the help document (the Help button, F1); false, after a message, when it cannot.
    bool help();
    void setKind(cut::Kind k);
    void setKerf(double mm);
    void setTabs(bool on);
    // Until the drawings prepared ahead of a change are ready (see prepareAhead); false after
    // `ms` milliseconds without.
    bool waitForDrawingsAhead(int ms);

private:
    QWidget* buildBanner();
    QLayout* buildSettings(const Request& r);
    QWidget* buildSide(const Request& r);
    bool claimFolder();
    // a drawing made, or why it could not be
    struct Made {
        std::optional<cut::Drawing> drawing;
        std::string error;
    };
    cut::Options currentOptions() const;
    void rebuild(bool refit);
    void showDrawing(Made made, bool refit);
    // A large hand-over: the other kind and the other choice of tabs are made in the background
    // once a drawing is shown, so that changing either shows its drawing at once.
    void prepareAhead();
    void saveAs(Output kind);
    void restoreSettings();
    // the keys (F1, Ctrl+S, Ctrl+Q, Ctrl+Z, Ctrl+Shift+Z / Ctrl+Y, Ctrl+plus / minus / 0) and the mnemonics
    void bindKeys();
    cut::Settings shownSettings() const;  // the settings as the widgets show them
    void showSettings(const cut::Settings& s);
    void settingsChanged();  // a setting changed by the user: a step of undo
public:
    bool undo();  // the settings as before the last change; false when there is none
    bool redo();
private:
    void remember();  // the settings into the work folder
    void back();
    void error(const QString& text);

    Request request_;
    suite_qt::QtUi ui_{this};
    wf::WorkFolderLock lock_;
    bool refused_ = false;
    std::shared_ptr<const cut::Handover> handover_;  // shared with a drawing being made
    std::shared_ptr<cut::DrawingMaker> maker_;       // of handover_, keeping what settings leave as it was
    std::uint64_t generation_ = 0;                   // of the drawing asked for last
    // generation_ for the worker making it: a drawing asked for meanwhile makes it stop early
    std::shared_ptr<std::atomic<std::uint64_t>> asked_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    std::optional<cut::Drawing> drawing_;
    DrawingView* view_;
    QComboBox* kind_;
    QDoubleSpinBox* kerf_;
    QDoubleSpinBox* minWidth_;
    QCheckBox* tabs_;
    QCheckBox* reference_;
    QDoubleSpinBox *sheetWidth_, *sheetHeight_;
    QCheckBox* tile_;
    QWidget* banner_;
    QLabel* bannerText_;
    wf::HandoverAge stale_;
    cut::Settings settings_;
    cut::Settings shown_;  // the settings shown, as last recorded
    cut::SettingsHistory history_;
    QDoubleSpinBox* border_;
    QListWidget* problems_;
    QLabel* summary_;
    QPushButton *saveDxf_, *saveSvg_;
};

// Opens the window on the request's folder and runs it; the exit status.
int runWindow(const Request& r);

}  // namespace cut_qt
