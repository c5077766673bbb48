#pragma once
// The entry of the window program. The objects of one run are typed members of
// ApplicationObjects, declared in the order the entry creates them: the console window
// `Form1`, the splash window `AboutBox` (shown at once), the invoice report
// `QuickRep_szamlabizonylat`, the data module `DM` (its start-up runs once the report
// exists) and the hidden progress window `Progress_Form`. The compiler releases them in
// reverse order; the report goes before the module whose connection its datasets use.

#include <QApplication>
#include <functional>
#include <memory>

#include "app/qt_ui_port.h"
#include "config/ui_port.h"

namespace dorvan {
class TDM;
class TQuickRep_szamlabizonylat;
}  // namespace dorvan

namespace dorvan::app {

class TForm1;
class TAboutBox;
class TProgress_Form;

// The Qt application object: exceptions that leave an event handler are shown in the error
// box (caption: the application title) and the program goes on.
class DorvanApplication : public QApplication {
  public:
    DorvanApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

struct ApplicationOptions {
    // The user-interface port to install; null: the Qt port of the program's windows.
    UiPort* uiPort = nullptr;
    // The data module's start-up; empty: `DataModuleCreate` of `DM`. A stand-in serves the
    // screenshot demo and the tests of the windows. An exception that leaves it is shown in
    // the standard error box and the console still opens.
    std::function<void(TDM&)> startUp;
};

class ApplicationObjects {
  public:
    explicit ApplicationObjects(const ApplicationOptions& options = {});
    ~ApplicationObjects();
    ApplicationObjects(const ApplicationObjects&) = delete;
    ApplicationObjects& operator=(const ApplicationObjects&) = delete;

    // Shows and activates the console and runs the message loop; returns at once when a
    // start-up step asked the application to terminate.
    int Run();

    TForm1& Form1() { return *form1_; }
    TAboutBox& AboutBox() { return *aboutBox_; }
    TQuickRep_szamlabizonylat& QuickRep_szamlabizonylat() { return *quickRep_; }
    TDM& DM() { return *dm_; }
    TProgress_Form& Progress_Form() { return *progressForm_; }

  private:
    // The port installed for the run: the one given, else the Qt port of the windows.
    class PortInstall {
      public:
        explicit PortInstall(UiPort* given) : scope_(given != nullptr ? *given : qt_) {}
        // The Qt port when it is the one installed, else null.
        QtUiPort* OwnPort() { return &qt_ == &Ui() ? &qt_ : nullptr; }

      private:
        QtUiPort qt_;
        ScopedUiPort scope_;
    };

    PortInstall port_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TAboutBox> aboutBox_;
    // The module object is there before the report built on it; its start-up runs after.
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<TQuickRep_szamlabizonylat> quickRep_;
    std::unique_ptr<TProgress_Form> progressForm_;
};

// The whole program: application object, the objects of the run, the message loop.
int RunApplication(int argc, char** argv);

}  // namespace dorvan::app
