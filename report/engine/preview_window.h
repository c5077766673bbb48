#pragma once
// The preview window: one page at a time, page navigation (buttons, a page field "3 / 5",
// PageUp/PageDown, Home/End), zoom (to page, to width, in and out, a percentage field),
// printing to a chosen printer or a PDF file, and a close button (Esc closes as well).
// Opens maximised with the whole page in view.

#include <QKeySequence>
#include <QWidget>

#include "report/engine/page_model.h"

class QLabel;
class QScrollArea;
class QSpinBox;

namespace dorvan::report {

class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    enum class ZoomMode { FitPage, FitWidth, Fixed };

    explicit PreviewWindow(PageDocument document, QWidget* parent = nullptr);

    int PageIndex() const { return pageIndex_; }
    int PageCount() const { return static_cast<int>(document_.pages.size()); }
    double Zoom() const { return zoom_; }  // 1.0 = real size on a 96 dpi screen
    ZoomMode Mode() const { return mode_; }
    QString PageLabelText() const;
    // The PDF file a print to file proposes: the document's file name (or its title) in the
    // current folder.
    QString ProposedPdfPath() const;

  signals:
    void closed();

  public slots:
    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    void GoToPage(int index);
    void ZoomToPage();
    void ZoomToWidth();
    void ZoomIn();
    void ZoomOut();
    void PrintWithDialog();
    void CloseWindow();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void UpdateZoom();
    void Render();
    void AddShortcut(const QKeySequence& keys, void (PreviewWindow::*slot)());

    PageDocument document_;
    int pageIndex_ = 0;
    double zoom_ = 1.0;
    ZoomMode mode_ = ZoomMode::FitPage;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageView_ = nullptr;
    QSpinBox* pageField_ = nullptr;
    QSpinBox* zoomField_ = nullptr;
};

// Shows a preview window maximised (deleted when closed) and returns it.
PreviewWindow* ShowPreview(PageDocument document, QWidget* parent = nullptr);
// Shows a preview window maximised and application-modal; returns when it is closed.
void ExecPreview(PageDocument document, QWidget* parent = nullptr);

}  // namespace dorvan::report
