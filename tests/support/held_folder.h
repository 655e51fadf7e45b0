// A program folder that another program of the suite is working in: the lock held by the test,
// the work files as they were, and every message box answered as it comes up.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <map>
#include <string>

#include "support/temp_folder.h"
#include "workfile/work_lock.h"

namespace testsupport {

// every file of a folder with its bytes
inline std::map<std::string, std::string> filesOf(const std::filesystem::path& dir) {
    std::map<std::string, std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(dir)) v[e.path().filename().string()] = readAll(e.path());
    return v;
}

// Accepts every message box while it lives, keeping the last one's title and text.
struct MessageBoxCloser {
    QString title, text;
    QTimer timer;
    MessageBoxCloser() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        timer.start(10);
    }
};

}  // namespace testsupport
