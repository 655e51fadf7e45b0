#include "shell/ui.h"

#include <filesystem>

#include "shell/dimension_dialog.h"

namespace shell {

const char* iconName(Icon icon) {
    switch (icon) {
        case Icon::Critical: return "critical";
        case Icon::Information: return "information";
        default: return "none";
    }
}

void HeadlessUi::message(const std::string& text, const std::string& title, Icon icon) {
    messages.push_back({icon, title, text});
}

Answer HeadlessUi::ask(const std::string& text, const std::string& title) {
    questions.push_back(title + "|" + text);
    if (closeQuestions) return Answer::Closed;
    return answerYes ? Answer::Yes : Answer::No;
}

bool HeadlessUi::startProgram(const std::string& program, const std::vector<std::string>& args) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto st = fs::status(program, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    if ((st.permissions() & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) ==
        fs::perms::none)
        return false;
    if (realStart && !realStart(program, args)) return false;
    started.push_back({program, args});
    return true;
}

void HeadlessUi::runDimensionDialog(DimensionDialog& dialog) {
    dialog.activate();
    if (typedText1) dialog.text1 = *typedText1;
    if (typedText2) dialog.text2 = *typedText2;
    if (!dialog.accept()) {
        dialogRefused = true;
        dialog.cancel();
    }
}

bool HeadlessUi::openDocument(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    documents.push_back(path);
    return true;
}

}  // namespace shell
