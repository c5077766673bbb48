#pragma once
// The progress window `Progress_Form` of long maintenance steps: borderless, 333 x 118,
// centred, hidden until its users show it.

#include <QWidget>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;

namespace dorvan::app {

class TProgress_Form : public QWidget {
    Q_OBJECT
  public:
    explicit TProgress_Form(QWidget* parent = nullptr);

    // Bar to 0, range 0..max; remembers max.
    void DuckInit(int max);
    // Bar to `position`, painted at once; pending messages go through.
    void DuckRepaint(int position);
    int Max() const { return max_; }

    // Sets the header (CR LF or CR line breaks allowed).
    void SetHeader(const std::string& text);

    QFrame* Panel1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label_Fejresz = nullptr;
    QProgressBar* ProgressBar = nullptr;

  private:
    void FormCreate();
    int max_ = 100;
};

}  // namespace dorvan::app
