#include "suite/port.h"

#include <filesystem>
#include <ostream>

namespace suite {

const char* iconName(Icon icon) {
    switch (icon) {
        case Icon::Critical: return "critical";
        case Icon::Information: return "information";
        default: return "none";
    }
}

void HeadlessUi::message(const std::string& text, const std::string& title, Icon icon) {
    messages.push_back({icon, title, text});
    if (echo) *echo << iconName(icon) << '|' << title << '|' << text << '\n';
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

bool HeadlessUi::openDocument(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || !documentViewer) return false;
    documents.push_back(path);
    return true;
}

std::string helpNotOpenedText(const std::string& path, const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return name + " not found ? PDF-Reader installed ?";
    std::error_code absError;
    const std::filesystem::path full = std::filesystem::absolute(path, absError);
    return "No program to show PDF files is installed, so " + name +
           " could not be opened. Install a PDF viewer, or open the document yourself: " +
           (absError ? path : full.lexically_normal().string());
}

}  // namespace suite
