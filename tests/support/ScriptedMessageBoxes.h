#pragma once

#include "MessageBoxes.h"

#include <deque>
#include <vector>

namespace kqvdr::test {

// Records every message box and answers from a script (Yes/Ok when the script is empty).
class ScriptedMessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(QWidget*, const MessageRequest& request) override {
        shown.push_back(request);
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<MessageRequest> shown;
    std::deque<MessageAnswer> answers;
};

} // namespace kqvdr::test
