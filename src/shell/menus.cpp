// The menu bar's help documents, the way back to the earlier stage and the Yes/No dialog.
#include "shell/session.h"
#include "workfile/workfile_io.h"
#include "shell/workfiles.h"

namespace shell {

bool Session::confirmYesNo(const std::string& title, const std::string& question) {
    confirmTitle = title;
    confirmQuestion = question;
    const Answer a = ui_.ask(question, title);
    if (a != Answer::Closed) confirmAnswer = a == Answer::Yes ? "J" : "N";
    return confirmAnswer != "N";
}

void Session::openHelp(const std::string& document) {
    // the documents lie beside the program, not among the work files
    if (!ui_.openDocument(appFolder_ + document))
        ui_.message(document + " not found ? PDF-Reader installed ?", "Info", Icon::None);
}

void Session::returnToTextStage() {
    try {
        const char* program = readShapDatVariant(appFolder_) == 1 ? "STV1b.EXE" : "STV1.EXE";
        if (!startSibling(appFolder_ + program, {kTokenFresh})) throw fault::FileFault("cannot start");
    } catch (const std::exception&) {
        ui_.message(kFileAccessError, "End", Icon::Critical);
    }
    // nothing is saved on the way back
    terminated = true;
    ui_.terminate();
}

}  // namespace shell
