#include "shell/ui.h"

#include <filesystem>

#include "shell/dimension_dialog.h"
#include "shell/preset_dialogs.h"
#include "shell/spacing_dialog.h"
#include "shell/yes_no_dialog.h"

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

void HeadlessUi::fileError(const std::string& text, const std::string& title) {
    ++fileErrors;
    Ui::fileError(text, title);
}

void HeadlessUi::runDialog(YesNoDialog& dialog) {
    questions.push_back(dialog.title() + "|" + dialog.question());
    if (closeQuestions) return;
    if (answerYes)
        dialog.yes();
    else
        dialog.no();
}

void HeadlessUi::runDialog(SpacingDialog& dialog) {
    dialogsShown.push_back(DialogId::SignDistances);
    dialog.close();
}

void HeadlessUi::runDialog(ApertureDialog& dialog) {
    dialogsShown.push_back(DialogId::ApertureWidth);
    dialog.cancel();
}

void HeadlessUi::runDialog(PresettingDialog& dialog) {
    dialogsShown.push_back(DialogId::Presetting);
    dialog.exit();
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

void HeadlessUi::runDialog(DimensionDialog& dialog) {
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
