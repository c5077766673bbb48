#pragma once
// The user-interface port: what the non-window code (configuration, data module) asks of the
// user interface. The window program installs its Qt implementation; the command-line tool and
// anything running without windows get the console implementation (messages on stderr,
// questions answered with their safe default); tests install a RecordingUi.

#include <string>
#include <vector>

namespace dorvan {

// The application title, the caption of the standard error box.
inline constexpr const char* kApplicationTitle = "Dorvan";

enum class MessageIcon { None, Information, Warning, Error };

class UiPort {
  public:
    virtual ~UiPort() = default;

    // Message box with an OK button.
    virtual void ShowMessage(const std::string& caption, const std::string& text,
                             MessageIcon icon = MessageIcon::None) = 0;
    // Yes/no question; `safeDefault` is the answer where nobody can be asked.
    virtual bool AskYesNo(const std::string& caption, const std::string& text,
                          bool safeDefault) = 0;
    // The database-wait cursor on or off (calls may nest; each "on" has its "off").
    virtual void SetWaitCursor(bool on) = 0;
    // Lets the window system process pending messages.
    virtual void ProcessMessages() = 0;
    // Splash notifications of the start-up steps.
    virtual void IncProgress(const std::string& text) = 0;
    virtual void SetTableName(const std::string& text) = 0;
    // The progress window of long maintenance steps.
    virtual void ShowProgress(const std::string& header) = 0;
    virtual void DuckInit(int max) = 0;
    virtual void DuckRepaint(int position) = 0;
    virtual void HideProgress() = 0;

    // Asks the application to end once the current start-up step returns.
    void RequestTerminate() { terminateRequested_ = true; }
    bool TerminateRequested() const { return terminateRequested_; }

  private:
    bool terminateRequested_ = false;
};

// Messages to stderr; questions get their safe default; the rest does nothing. A quiet
// console (the command-line programs without --verbose) keeps the dialog texts instead of
// printing them, so that a failure can end with its final reason on one line.
class ConsoleUi : public UiPort {
  public:
    ConsoleUi() = default;
    explicit ConsoleUi(bool quiet) : quiet_(quiet) {}

    void ShowMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) override;
    void SetWaitCursor(bool) override {}
    void ProcessMessages() override {}
    void IncProgress(const std::string&) override {}
    void SetTableName(const std::string&) override {}
    void ShowProgress(const std::string&) override {}
    void DuckInit(int) override {}
    void DuckRepaint(int) override {}
    void HideProgress() override {}

    // Quiet: texts are kept, not printed. Switching it off prints nothing kept so far.
    bool Quiet() const { return quiet_; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // The text of the last message or question shown (kept or printed); "" when none.
    const std::string& LastText() const { return lastText_; }

    // A message or question shown while quiet.
    struct KeptMessage {
        std::string caption;
        std::string text;
        MessageIcon icon = MessageIcon::None;
    };
    const std::vector<KeptMessage>& Kept() const { return kept_; }
    void ClearKept() { kept_.clear(); }
    // "[icon] caption: text" as a message is printed (`text` as given).
    static std::string Line(const std::string& caption, const std::string& text, MessageIcon icon);

  private:
    bool quiet_ = false;
    std::string lastText_;
    std::vector<KeptMessage> kept_;
};

// The installed port (a ConsoleUi when none is installed).
UiPort& Ui();

// Installs `port` (not owned; nullptr restores the console port); returns the previous one.
UiPort* SetUiPort(UiPort* port);

// Installs a port for the lifetime of this object, then restores the previous one.
class ScopedUiPort {
  public:
    explicit ScopedUiPort(UiPort& port) : previous_(SetUiPort(&port)) {}
    ~ScopedUiPort() { SetUiPort(previous_); }
    ScopedUiPort(const ScopedUiPort&) = delete;
    ScopedUiPort& operator=(const ScopedUiPort&) = delete;

  private:
    UiPort* previous_;
};

// The wait cursor for one scope.
class WaitCursor {
  public:
    WaitCursor() { Ui().SetWaitCursor(true); }
    ~WaitCursor() { Ui().SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace dorvan
