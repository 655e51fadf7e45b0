// Saves a PNG of the start window, the text stage and the cut stage as each opens on a program
// folder, for the README and for looking at the windows without a display.
//   suite_snapshot PROGRAM_FOLDER OUT_FOLDER      writes start.png, text.png, cut.png
//   suite_snapshot --small IN.png OUT.png          another picture made as small as these
// The pictures are at most 640 pixels wide, in 256 colours, to keep the repository small.
// The shapes window has its own tool (window_snapshot). Runs on the offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <iostream>

#include "cut_qt/cut_window.h"
#include "start_qt/start_window.h"
#include "text_qt/text_window.h"

namespace {

bool saveSmall(QImage image, const QString& file) {
    if (image.width() > 640) image = image.scaledToWidth(640, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_Indexed8).save(file);
}

bool save(QWidget& w, const QString& file) {
    w.show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QApplication::processEvents();
    const bool ok = saveSmall(w.grab().toImage(), file);
    if (!ok) std::cerr << file.toStdString() << ": cannot write\n";
    w.hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == "--small") return saveSmall(QImage(args[1]), args[2]) ? 0 : 1;
    if (args.size() != 2) {
        std::cerr << "usage: suite_snapshot PROGRAM_FOLDER OUT_FOLDER\n";
        return 1;
    }
    const QString folder = args[0], out = args[1] + "/";
    bool ok = true;
    {
        start_qt::StartWidget w(folder.toStdString());
        ok = save(w, out + "start.png") && ok;
    }
    {
        text_qt::TextWindow w(folder, text::Variant::Bridges);
        ok = !w.refused() && save(w, out + "text.png") && ok;
    }
    {
        cut_qt::Request r;
        r.folder = folder.toStdString();
        cut_qt::CutWindow w(r);
        ok = save(w, out + "cut.png") && ok;
    }
    return ok ? 0 : 1;
}
