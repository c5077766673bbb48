#pragma once
// The entry of the window program. It creates, in this order, the console window `Form1`,
// the splash window `AboutBox` (shown at once), the invoice report, the data module `DM`
// (whose creation runs the whole start-up) and the hidden progress window `Progress_Form`;
// then it runs the message loop. The objects are released in reverse order.

#include <QApplication>
#include <functional>
#include <memory>

namespace dorvan {
class UiPort;
}

namespace dorvan::app {

class TForm1;
class TAboutBox;
class TProgress_Form;
class QtUiPort;

// An application-wide object of a later layer, owned by the entry (any type: a shared_ptr
// made from the real type keeps the right destructor).
using AppObject = std::shared_ptr<void>;

struct ApplicationHooks {
    // Creates the invoice report `QuickRep_szamlabizonylat` (nothing is created while empty).
    std::function<AppObject()> createReport;
    // Creates the data module `DM`; its creation runs the start-up sequence. An exception
    // that leaves it is shown in the standard error box and the console still opens.
    std::function<AppObject()> createDataModule;
    // The console's two commands (see TForm1).
    std::function<void()> printCommand;
    std::function<void()> previewCommand;
    // The user-interface port to install; null: the Qt port of the program's windows.
    UiPort* uiPort = nullptr;
};

// The Qt application object: exceptions that leave an event handler are shown in the error
// box (caption: the application title) and the program goes on.
class DorvanApplication : public QApplication {
  public:
    DorvanApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The objects of one run, created by the constructor in the fixed order (steps 2 to 6 of the
// entry); members are declared in creation order, so they are released in reverse.
class ApplicationObjects {
  public:
    explicit ApplicationObjects(const ApplicationHooks& hooks);
    ~ApplicationObjects();
    ApplicationObjects(const ApplicationObjects&) = delete;
    ApplicationObjects& operator=(const ApplicationObjects&) = delete;

    // Shows and activates the console and runs the message loop; returns at once when a
    // start-up step asked the application to terminate.
    int Run();

  private:
    struct PortInstall;
    std::unique_ptr<QtUiPort> qtPort_;
    std::unique_ptr<PortInstall> port_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TAboutBox> aboutBox_;
    AppObject report_;
    AppObject dataModule_;
    std::unique_ptr<TProgress_Form> progressForm_;
};

// The whole program: application object, the objects of the run, the message loop.
int RunApplication(int argc, char** argv, const ApplicationHooks& hooks);

// The application-wide windows while they exist (null before creation and after release).
TForm1* Form1();
TAboutBox* AboutBox();
TProgress_Form* Progress_Form();

}  // namespace dorvan::app
