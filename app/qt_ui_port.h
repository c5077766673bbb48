#pragma once
// The user-interface port of the window program: real message boxes, the wait cursor, the
// event loop, the splash notifications and the progress window.

#include <QPointer>

#include "app/about_box.h"
#include "app/progress_form.h"
#include "config/ui_port.h"

namespace dorvan::app {

class QtUiPort : public UiPort {
  public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) override;
    void SetWaitCursor(bool on) override;
    void ProcessMessages() override;
    void IncProgress(const std::string& text) override;
    void SetTableName(const std::string& text) override;
    void ShowProgress(const std::string& header) override;
    void DuckInit(int max) override;
    void DuckRepaint(int position) override;
    void HideProgress() override;

    // The windows it reports to (not owned; either may be null, and a window that goes is
    // forgotten).
    void SetAboutBox(TAboutBox* aboutBox);
    void SetProgressForm(TProgress_Form* progress);

  private:
    QPointer<TAboutBox> aboutBox_;
    QPointer<TProgress_Form> progress_;
};

}  // namespace dorvan::app
