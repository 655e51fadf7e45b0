// form100: a question with "Yes" and "No". Closing it without either button leaves it
// unanswered; the session then keeps the answer given to the question before.
#pragma once

#include <string>

#include "shell/ui.h"

namespace shell {

class YesNoDialog {
public:
    static constexpr const char* kName = "form100";

    YesNoDialog(std::string title, std::string question) : title_(std::move(title)), question_(std::move(question)) {}

    const std::string& title() const { return title_; }
    const std::string& question() const { return question_; }

    void yes() { answer_ = Answer::Yes; }  // Command1
    void no() { answer_ = Answer::No; }    // Command3
    Answer answer() const { return answer_; }

private:
    std::string title_, question_;
    Answer answer_ = Answer::Closed;
};

}  // namespace shell
