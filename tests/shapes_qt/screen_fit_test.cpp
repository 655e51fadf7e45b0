// The shapes window on common screens: every control inside the screen's available area, no two
// controls on top of each other and no text wider than its widget, with the usual font and a
// large one; the dialogs kept on the screen; a tooltip on every control.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "suite_qt/keys.h"
#include "shapes_qt/mainwindow.h"
#include "shapes/shape_words.h"
#include "shapes_qt/sample_window.h"
#include "support/temp_folder.h"

using namespace testsupport;

namespace {

using Window = SampleWindow;

// the widgets a user reads or works
bool isControl(const QWidget* c) {
    return qobject_cast<const QAbstractButton*>(c) || qobject_cast<const QLineEdit*>(c) ||
           qobject_cast<const QScrollBar*>(c) || qobject_cast<const QLabel*>(c) ||
           qobject_cast<const QListWidget*>(c) || qobject_cast<const shapes_qt::PreviewWidget*>(c);
}

std::vector<QWidget*> shownControls(QWidget* top) {
    std::vector<QWidget*> found;
    for (QWidget* c : top->findChildren<QWidget*>())
        if (isControl(c) && c->isVisibleTo(top) && !qobject_cast<QMenuBar*>(c->parentWidget())) found.push_back(c);
    return found;
}

QString nameOf(const QWidget* c) {
    return c->objectName() + " \"" + (qobject_cast<const QLabel*>(c) ? qobject_cast<const QLabel*>(c)->text() : "") + "\"";
}

// The width a control's text needs beside the widget's own width; empty when nothing is cut off.
std::string clipped(const QWidget* c) {
    int need = 0;
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(c); l && !l->wordWrap() && l->pixmap().isNull()) {
        text = l->textFormat() == Qt::RichText ? l->text() : suite_qt::withoutMnemonic(l->text());  // '&' is not drawn
        need = l->fontMetrics().horizontalAdvance(text);
        if (need <= l->contentsRect().width()) return {};
        return (nameOf(c) + QString(" %1 > %2").arg(need).arg(l->contentsRect().width())).toStdString();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(c); b && !b->text().isEmpty()) {
        if (b->sizeHint().width() <= b->width() && b->sizeHint().height() <= b->height()) return {};
        return (nameOf(c) + b->text() + QString(" %1 > %2").arg(b->sizeHint().width()).arg(b->width())).toStdString();
    }
    if (auto* e = qobject_cast<const QLineEdit*>(c)) {
        need = e->fontMetrics().horizontalAdvance(e->text()) + 6;
        if (need <= e->width() && e->sizeHint().height() <= e->height() + 1) return {};
        return (nameOf(c) + e->text() + QString(" %1 > %2").arg(need).arg(e->width())).toStdString();
    }
    return {};
}

// Everything shown lies inside `top`, nothing is cut off, no two controls share a pixel.
void expectLaidOut(QWidget* top, const QString& setting) {
    const std::vector<QWidget*> controls = shownControls(top);
    ASSERT_GT(controls.size(), 2u) << setting.toStdString();
    std::vector<QRect> places;
    for (QWidget* c : controls) {
        const QRect place(c->mapTo(top, QPoint(0, 0)), c->size());
        places.push_back(place);
        EXPECT_TRUE(top->rect().contains(place)) << setting.toStdString() << ": " << nameOf(c).toStdString() << " outside";
        EXPECT_FALSE(place.isEmpty()) << setting.toStdString() << ": " << nameOf(c).toStdString();
        const std::string cut = clipped(c);
        EXPECT_TRUE(cut.empty()) << setting.toStdString() << ": " << cut;
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (!controls[i]->isAncestorOf(controls[j]) && !controls[j]->isAncestorOf(controls[i])) {
                EXPECT_FALSE(places[i].intersects(places[j])) << setting.toStdString() << ": " << nameOf(controls[i]).toStdString()
                                                                << " on " << nameOf(controls[j]).toStdString();
            }
}

struct Setting {
    const char* name;
    QSize screen;  // in the scaled pixels the window is laid out in
    double font;   // the system font's size, times
};

}  // namespace

// 1920 x 1080 at 100, 125, 150 and 200 %, 1366 x 768, and the large system font (144 dpi).
TEST(ScreenFit, EveryControlInsideTheScreenAndEveryTextInItsWidget) {
    Window win;
    ASSERT_TRUE(win.up());
    shapes_qt::MainWindow& w = win.w;
    shapes::Controls& c = w.session().controls();
    // everything the right column can show at once: the knot, the connection and its "Cut" note
    c.Check2.set(1);
    c.Frame11 = true;
    c.HScroll1.visible = true;
    c.Label1.visible = true;
    w.session().ui().controlsChanged();

    const QFont usual = QApplication::font();
    const QMargins frame(4, 30, 4, 4);  // a common window manager's frame
    const std::vector<Setting> settings = {
        {"1920x1080 100 %", {1920, 1080}, 1}, {"1920x1080 125 %", {1536, 864}, 1}, {"1920x1080 150 %", {1280, 720}, 1},
        {"1920x1080 200 %", {960, 540}, 1},   {"1366x768", {1366, 768}, 1},         {"1920x1080 font 144 dpi", {1920, 1080}, 1.5},
        {"1920x1080 150 % font 144 dpi", {1280, 720}, 1.5},
    };
    for (const Setting& s : settings) {
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * s.font);
        QApplication::setFont(font);
        QApplication::processEvents();
        const QRect area = QRect(QPoint(0, 0), s.screen).marginsRemoved(frame);
        w.move(area.right() - 100, area.bottom() - 100);  // a stored place near the corner
        w.fitTo(area);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(w.geometry())) << s.name << ": " << w.geometry().x() << "," << w.geometry().y() << " "
                                                 << w.width() << "x" << w.height();
        if (s.font == 1 && area.width() >= 988 && area.height() >= 735) {
            EXPECT_EQ(w.size(), QSize(988, 735)) << s.name << ": the fixed size where it fits";
        }
        expectLaidOut(&w, s.name);
        if (HasFailure()) return;
    }
    QApplication::setFont(usual);
    w.fitTo(w.availableArea());
}

// Dialogs that the twip offsets from the main window would put beyond the screen's edge stand
// inside it, laid out so that nothing in them is cut off, with the usual font and the large one.
TEST(ScreenFit, DialogsStayOnTheScreenWithTheirTextsWhole) {
    Window win;
    ASSERT_TRUE(win.up());
    shapes_qt::MainWindow& w = win.w;
    shapes::Session& s = w.session();
    const QRect screen = w.screen()->availableGeometry();
    const QFont usual = QApplication::font();
    for (double times : {1.0, 1.5}) {
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * times);
        QApplication::setFont(font);
        w.fitTo(w.availableArea());
        w.move(screen.right() - w.width() - 10, screen.bottom() - w.height() - 40);  // the lower right corner
        QApplication::processEvents();
        const std::vector<std::pair<const char*, std::function<void()>>> dialogs = {
            {"form37", [&] { w.findChild<QToolButton*>("auswahl_17")->click(); }},
            {"form22", [&] { w.findChild<QToolButton*>("Picture6")->click(); }},
            {"form7", [&] { w.findChild<QToolButton*>("Picture3")->click(); }},
            {"form361", [&] { w.menuBar()->findChild<QAction*>("konvein")->trigger(); }},
            {"form100", [&] {
                 if (s.controls().Check2 != 1) s.controls().Check2.set(1);
                 if (s.controls().Check5 != 1) s.controls().Check5.set(1);
                 s.controls().Check5.set(0);
             }},
        };
        for (const auto& [name, open] : dialogs) {
            QString seenName;
            EXPECT_TRUE(onModal(open, [&](QDialog* d) {
                seenName = d->objectName();
                EXPECT_TRUE(screen.contains(d->frameGeometry())) << name << " at " << d->frameGeometry().x() << ","
                                                                << d->frameGeometry().y() << " on " << screen.width();
                expectLaidOut(d, QString("%1 x%2").arg(name).arg(times));
            })) << name;
            EXPECT_EQ(seenName, name);
        }
    }
    QApplication::setFont(usual);
}

// Every control of the window and of its dialogs says what it does; those with a number say it is
// in inches; each gallery picture names its shape and its heights.
TEST(ScreenFit, EveryControlHasATooltip) {
    Window win;
    ASSERT_TRUE(win.up());
    shapes_qt::MainWindow& w = win.w;
    const auto expectTips = [](QWidget* top) {
        int count = 0;
        for (QWidget* c : top->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QScrollBar*>(c) || qobject_cast<QListWidget*>(c);
            // the scroll bars of a list are the list's
            bool inList = false;
            for (QWidget* p = c->parentWidget(); p && p != top; p = p->parentWidget()) inList |= p->inherits("QAbstractScrollArea");
            if (!control || inList || qobject_cast<QMenuBar*>(c->parentWidget())) continue;
            ++count;
            EXPECT_FALSE(c->toolTip().isEmpty()) << top->objectName().toStdString() << ": " << c->objectName().toStdString();
            if (qobject_cast<QLineEdit*>(c)) {
                EXPECT_TRUE(c->toolTip().contains("inches")) << c->objectName().toStdString() << ": " << c->toolTip().toStdString();
            }
        }
        return count;
    };
    EXPECT_GT(expectTips(&w), 40);  // the gallery's twenty and the options
    EXPECT_FALSE(w.findChild<QWidget*>("Bild1")->toolTip().isEmpty());

    QStringList galleryTips;
    for (int i = 0; i < 20; ++i) {
        const QString tip = w.findChild<QToolButton*>(QString("auswahl_%1").arg(i))->toolTip();
        EXPECT_EQ(tip.toStdString(), shapes::shapeTooltip(i));
        EXPECT_TRUE(tip.startsWith(QString("Shape %1: ").arg(i))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(" h ") || tip.contains(" h.") || tip.contains(" h,")) << tip.toStdString();
        galleryTips << tip;
    }
    galleryTips.removeDuplicates();
    EXPECT_EQ(galleryTips.size(), 20);

    // the knot slider shows where it stands
    w.session().controls().Frame11 = true;
    w.session().controls().HScroll1.visible = true;
    w.findChild<QScrollBar*>("HScroll1")->setValue(250);
    EXPECT_EQ(w.findChild<QLabel*>("knotValue")->text(), "25.0 %");

    shapes::Session& s = w.session();
    int dialogControls = 0;
    for (const std::function<void()>& open : std::vector<std::function<void()>>{
             [&] { w.findChild<QToolButton*>("auswahl_17")->click(); },
             [&] { w.findChild<QToolButton*>("Picture6")->click(); },
             [&] { w.findChild<QToolButton*>("Picture3")->click(); },
             [&] { w.menuBar()->findChild<QAction*>("konvein")->trigger(); },
             [&] {
                 if (s.controls().Check2 != 1) s.controls().Check2.set(1);
                 if (s.controls().Check5 != 1) s.controls().Check5.set(1);
                 s.controls().Check5.set(0);
             }})
        EXPECT_TRUE(onModal(open, [&](QDialog* d) {
            dialogControls += expectTips(d);
            if (d->objectName() == "form37") {
                EXPECT_EQ(d->findChild<QLabel*>("auswahl")->toolTip().toStdString(), shapes::shapeTooltip(17));
            }
        }));
    EXPECT_GT(dialogControls, 15);
}
