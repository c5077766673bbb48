#pragma once
// The splash window `AboutBox`: shown from the start until the console is activated; also
// the about box. Borderless, 322 x 343, centred.

#include <QWidget>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;
class QWindow;

namespace dorvan::app {

class TAboutBox : public QWidget {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Start-up notifications: let pending messages through (the text is not displayed).
    void IncProgress(const std::string& text);
    void SetTableName(const std::string& text);

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* VerzioLabel = nullptr;
    QLabel* VerzioLabel2 = nullptr;
    QLabel* Label_Data = nullptr;
    QProgressBar* ProgressBar = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormDeactivate();
    void OnFocusWindowChanged(QWindow* window);
};

}  // namespace dorvan::app
