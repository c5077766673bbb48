// dorvan-console-demo: the window program with a stand-in start-up that keeps the splash
// on screen for a while (for screenshots under Xvfb, see screenshots.sh).
//   DORVAN_DEMO_HOLD_MS      how long the stand-in start-up lasts (default 4000)
//   DORVAN_DEMO_PROGRESS=1   also show the progress window when the console opens

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/about_box.h"
#include "app/application.h"
#include "app/progress_form.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"

namespace {

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dorvan::app;
    DorvanApplication application(argc, argv);
    ApplicationOptions options;
    options.startUp = [](dorvan::TDM&) {
        const int hold = EnvInt("DORVAN_DEMO_HOLD_MS", 4000);
        QElapsedTimer timer;
        timer.start();
        dorvan::WaitCursor wait;
        while (timer.elapsed() < hold) {
            dorvan::Ui().IncProgress("Connect to database.");
            QThread::msleep(20);
        }
    };
    ApplicationObjects objects(options);
    if (EnvInt("DORVAN_DEMO_PROGRESS", 0) != 0) {
        // Once the console is up, the way a maintenance step shows its progress.
        QTimer::singleShot(1000, [&objects] {
            dorvan::Ui().ShowProgress(
                "Kis türlemet...\r\nOptimális oszlopszélesség "
                "felderítése folyamatban.");
            dorvan::Ui().DuckInit(10);
            dorvan::Ui().DuckRepaint(4);
            objects.Progress_Form().raise();
        });
    }
    return objects.Run();
}
