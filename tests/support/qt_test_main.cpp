#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // one offscreen screen of a common laptop's size, so the window has its full size there;
    // a file of this process's own, since the test runner starts several processes at once
    const QString config =
        QDir(LK_TEST_TMP).filePath(QString("offscreen-screen-%1.json").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(LK_TEST_TMP);
    QFile f(config);
    if (f.open(QIODevice::WriteOnly))
        f.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
                R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    QFile::remove(config);
    return status;
}
