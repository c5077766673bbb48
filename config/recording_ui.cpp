#include "config/recording_ui.h"

namespace dorvan {

void RecordingUi::ShowMessage(const std::string& caption, const std::string& text,
                              MessageIcon icon) {
    messages.push_back({caption, text, icon});
}

bool RecordingUi::AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) {
    bool answer = safeDefault;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    questions.push_back({caption, text, answer});
    if (onQuestion) {
        onQuestion(questions.back());
    }
    return answer;
}

void RecordingUi::SetWaitCursor(bool on) {
    waitCursorDepth += on ? 1 : -1;
}

void RecordingUi::ShowProgress(const std::string& header) {
    progressVisible = true;
    progressHeader = header;
}

}  // namespace dorvan
