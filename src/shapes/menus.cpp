// The menu bar's help documents, the way back to the earlier stage and the Yes/No dialog.
#include "shapes/session.h"
#include "suite/port.h"

namespace shapes {

bool Session::confirmYesNo(const std::string& title, const std::string& question) {
    YesNoDialog dialog(title, question);
    ui_.runDialog(dialog);
    if (dialog.answer() != Answer::Closed) lastAnswer_ = dialog.answer();
    return lastAnswer_ != Answer::No;
}

void Session::openHelp(const std::string& document) {
    // the documents lie beside the program, not among the work files
    const std::string path = appFolder() + document;
    if (!ui_.openDocument(path)) ui_.message(suite::helpNotOpenedText(path, document), "Info", Icon::None);
}

void Session::returnToTextStage() {
    saveStateOnLeaving();
    handOver_.toTextStage();
}

}  // namespace shapes
