#include "app/application.h"

#include <exception>
#include <optional>

#include "app/about_box.h"
#include "app/application_error.h"
#include "app/console_commands.h"
#include "app/console_start.h"
#include "app/form1.h"
#include "app/progress_form.h"
#include "app/qt_translations.h"
#include "datamodule/dm.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

namespace {

// The splash window, visible at once; the Qt port reports the start-up steps to it.
std::unique_ptr<TAboutBox> ShowSplash(QtUiPort* port) {
    auto aboutBox = std::make_unique<TAboutBox>();
    aboutBox->setAttribute(Qt::WA_QuitOnClose, false);
    if (port != nullptr) {
        port->SetAboutBox(aboutBox.get());
    }
    aboutBox->show();
    return aboutBox;
}

}  // namespace

DorvanApplication::DorvanApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    InstallQtTranslations(*this);  // Qt's dialogs speak the program's language
}

bool DorvanApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowApplicationError(std::current_exception());
        return false;
    }
}

ApplicationObjects::ApplicationObjects(const ApplicationOptions& options)
    : port_(options.uiPort),
      // The console window: the first window, so the main window; shown when the loop starts.
      form1_(std::make_unique<TForm1>()),
      aboutBox_(ShowSplash(port_.OwnPort())),
      dm_(std::make_unique<TDM>()),
      // The invoice report (no database work yet).
      quickRep_(std::make_unique<TQuickRep_szamlabizonylat>(*dm_)) {
    form1_->printCommand = [this] {
        RunWithDatabase(*dm_, [this] { PrintTest(*quickRep_, Lpt1DevicePath()); });
    };
    form1_->previewCommand = [this] {
        RunWithDatabase(*dm_, [this] { PreviewTest(*quickRep_, form1_.get()); });
    };

    // The data module's start-up. A failure ends that sequence only; the console still opens.
    try {
        if (options.startUp) {
            options.startUp(*dm_);
        } else {
            dm_->DataModuleCreate();
        }
    } catch (...) {
        ShowApplicationError(std::current_exception());
    }

    // The progress window, hidden.
    progressForm_ = std::make_unique<TProgress_Form>();
    progressForm_->setAttribute(Qt::WA_QuitOnClose, false);
    if (QtUiPort* port = port_.OwnPort()) {
        port->SetProgressForm(progressForm_.get());
    }
}

ApplicationObjects::~ApplicationObjects() = default;

int ApplicationObjects::Run() {
    if (Ui().TerminateRequested()) {
        return 0;
    }
    form1_->show();
    form1_->raise();
    form1_->activateWindow();
    return QApplication::exec();
}

int RunApplication(int argc, char** argv) {
    std::optional<WindowSystemStartGuard> windowSystemStart(std::in_place);
    DorvanApplication application(argc, argv);
    windowSystemStart.reset();
    ApplicationObjects objects;
    return objects.Run();
}

}  // namespace dorvan::app
