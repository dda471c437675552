#pragma once

#include "rotation/Prompter.h"

#include <deque>
#include <functional>
#include <vector>

// Records every message box and answers from a script; with the script empty it answers the
// box's default button. A hook may run while a box is "open", as a user would act then.
class ScriptedPrompter : public Prompter {
public:
    MessageAnswer ask(const MessageRequest& request) override {
        shown.push_back(request);
        if (whileShown)
            whileShown(request);
        if (answers.empty())
            return request.defaultButton;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<MessageRequest> shown;
    std::deque<MessageAnswer> answers;
    std::function<void(const MessageRequest&)> whileShown;
};
