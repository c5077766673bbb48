#include "app/form1.h"

#include <QPushButton>
#include <exception>
#include <string>

#include "app/application_error.h"
#include "config/ui_port.h"

namespace dorvan::app {

namespace {

void RunCommand(const std::function<void()>& command) {
    if (!command) {
        Ui().ShowMessage(std::string(kApplicationTitle) + " dialog",
                         "The invoice report is not built yet.", MessageIcon::Information);
        return;
    }
    try {
        command();
    } catch (...) {
        ShowApplicationError(std::current_exception());
    }
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setObjectName("Form1");
    setWindowTitle("Form1");
    setFont(QFont("Tahoma", 8));
    resize(949, 618);

    Button1 = new QPushButton("Quickreport dot matrix printer test", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(24, 16, 249, 25);
    Button2 = new QPushButton("Quickreport preview", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(24, 47, 249, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void TForm1::Button1Click() {
    RunCommand(printCommand);
}

void TForm1::Button2Click() {
    RunCommand(previewCommand);
}

}  // namespace dorvan::app
