#pragma once
// A user-interface port for tests: records every call, answers questions from a queue.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "config/ui_port.h"

namespace dorvan {

class RecordingUi : public UiPort {
  public:
    struct Message {
        std::string caption;
        std::string text;
        MessageIcon icon = MessageIcon::None;
    };
    struct Question {
        std::string caption;
        std::string text;
        bool answer = false;
    };

    void ShowMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override;
    // Answers with the next queued answer, else with the safe default.
    bool AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) override;
    void SetWaitCursor(bool on) override;
    void ProcessMessages() override { ++processMessagesCalls; }
    void IncProgress(const std::string& text) override { progress.push_back(text); }
    void SetTableName(const std::string& text) override { tableNames.push_back(text); }
    void ShowProgress(const std::string& header) override;
    void DuckInit(int max) override {
        duckMax = max;
        duckPosition = 0;
    }
    void DuckRepaint(int position) override { duckPosition = position; }
    void HideProgress() override { progressVisible = false; }

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<bool> answers;  // queued answers for AskYesNo
    // Runs when a question has been answered, before the answer returns (what the user does
    // meanwhile, for example mending a configuration file).
    std::function<void(const Question&)> onQuestion;
    std::vector<std::string> progress;
    std::vector<std::string> tableNames;
    int waitCursorDepth = 0;
    int processMessagesCalls = 0;
    bool progressVisible = false;
    std::string progressHeader;
    int duckMax = 0;
    int duckPosition = 0;
};

}  // namespace dorvan
