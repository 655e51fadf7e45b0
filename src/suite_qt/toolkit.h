// The toolkit's application object for a command line, made only when an output is drawn (a
// PNG). Reading, computing and writing text files need none, and the toolkit's start is most
// of a short run's time and memory.
#pragma once

#include <QCoreApplication>
#include <memory>

namespace suite_qt {

// Held by a command line's main for the whole run; makes nothing until needToolkit() is
// called, and ends what it made before main returns.
class ToolkitOnDemand {
public:
    enum Kind { Gui, Widgets };  // drawing only, or drawing windows offscreen
    ToolkitOnDemand(int& argc, char** argv, Kind kind);
    ~ToolkitOnDemand();
    ToolkitOnDemand(const ToolkitOnDemand&) = delete;
    ToolkitOnDemand& operator=(const ToolkitOnDemand&) = delete;

private:
    friend void needToolkit();
    void start();

    int& argc_;
    char** argv_;
    Kind kind_;
    std::unique_ptr<QCoreApplication> app_;
};

// Makes sure an application object exists before anything draws: the one of the
// ToolkitOnDemand in scope, made on the offscreen platform unless another one is named.
// Nothing when one exists already (a window's, a test's).
void needToolkit();

}  // namespace suite_qt
