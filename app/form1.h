#pragma once
// The console window `Form1`: the main window with the two report commands.

#include <QWidget>
#include <functional>

class QPushButton;

namespace dorvan::app {

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);

    // The commands behind the buttons (the invoice report fills them in); while empty, the
    // buttons say that the report is not built yet. Exceptions are shown in the error box.
    std::function<void()> printCommand;
    std::function<void()> previewCommand;

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void Button1Click();
    void Button2Click();
};

}  // namespace dorvan::app
