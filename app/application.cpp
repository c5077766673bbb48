#include "app/application.h"

#include <exception>

#include "app/about_box.h"
#include "app/application_error.h"
#include "app/form1.h"
#include "app/progress_form.h"
#include "app/qt_ui_port.h"
#include "config/ui_port.h"

namespace dorvan::app {

namespace {

TForm1* g_form1 = nullptr;
TAboutBox* g_aboutBox = nullptr;
TProgress_Form* g_progressForm = nullptr;

}  // namespace

TForm1* Form1() {
    return g_form1;
}
TAboutBox* AboutBox() {
    return g_aboutBox;
}
TProgress_Form* Progress_Form() {
    return g_progressForm;
}

DorvanApplication::DorvanApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
}

bool DorvanApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowApplicationError(std::current_exception());
        return false;
    }
}

struct ApplicationObjects::PortInstall {
    explicit PortInstall(UiPort& port) : scope(port) {}
    ScopedUiPort scope;
};

ApplicationObjects::ApplicationObjects(const ApplicationHooks& hooks) {
    UiPort* port = hooks.uiPort;
    if (!port) {
        qtPort_ = std::make_unique<QtUiPort>();
        port = qtPort_.get();
    }
    port_ = std::make_unique<PortInstall>(*port);

    // The console window: the first window, so the main window; shown when the loop starts.
    form1_ = std::make_unique<TForm1>();
    form1_->printCommand = hooks.printCommand;
    form1_->previewCommand = hooks.previewCommand;
    g_form1 = form1_.get();

    // The splash window, visible at once.
    aboutBox_ = std::make_unique<TAboutBox>();
    aboutBox_->setAttribute(Qt::WA_QuitOnClose, false);
    g_aboutBox = aboutBox_.get();
    if (qtPort_) {
        qtPort_->SetAboutBox(g_aboutBox);
    }
    aboutBox_->show();

    // The invoice report (no database work yet).
    if (hooks.createReport) {
        report_ = hooks.createReport();
    }

    // The data module: its creation runs the start-up sequence. A failure ends that sequence
    // only; the console still opens.
    if (hooks.createDataModule) {
        try {
            dataModule_ = hooks.createDataModule();
        } catch (...) {
            ShowApplicationError(std::current_exception());
        }
    }

    // The progress window, hidden.
    progressForm_ = std::make_unique<TProgress_Form>();
    progressForm_->setAttribute(Qt::WA_QuitOnClose, false);
    g_progressForm = progressForm_.get();
    if (qtPort_) {
        qtPort_->SetProgressForm(g_progressForm);
    }
}

ApplicationObjects::~ApplicationObjects() {
    // Reverse order of creation.
    if (qtPort_) {
        qtPort_->SetProgressForm(nullptr);
    }
    g_progressForm = nullptr;
    progressForm_.reset();
    dataModule_.reset();
    report_.reset();
    if (qtPort_) {
        qtPort_->SetAboutBox(nullptr);
    }
    g_aboutBox = nullptr;
    aboutBox_.reset();
    g_form1 = nullptr;
    form1_.reset();
    port_.reset();
    qtPort_.reset();
}

int ApplicationObjects::Run() {
    if (Ui().TerminateRequested()) {
        return 0;
    }
    form1_->show();
    form1_->raise();
    form1_->activateWindow();
    return QApplication::exec();
}

int RunApplication(int argc, char** argv, const ApplicationHooks& hooks) {
    DorvanApplication application(argc, argv);
    ApplicationObjects objects(hooks);
    return objects.Run();
}

}  // namespace dorvan::app
