#include "report/engine/preview_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "report/engine/page_painter.h"

namespace dorvan::report {

namespace {
constexpr double kScreenDpi = 96;
constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
}  // namespace

PreviewWindow::PreviewWindow(PageDocument document, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(std::move(document)) {
    setWindowTitle(QString::fromStdString(document_.title));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout();
    bar->setContentsMargins(6, 4, 6, 4);
    layout->addLayout(bar);

    auto addButton = [&](const QString& text, const QString& name, void (PreviewWindow::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumWidth(button->sizeHint().width());  // captions are never cut
        connect(button, &QPushButton::clicked, this, slot);
        bar->addWidget(button);
    };
    addButton(QStringLiteral("|<"), QStringLiteral("firstPage"), &PreviewWindow::FirstPage);
    addButton(QStringLiteral("<"), QStringLiteral("previousPage"), &PreviewWindow::PreviousPage);
    // The page field: the current page, typed or stepped, with the page count beside it.
    pageField_ = new QSpinBox(this);
    pageField_->setObjectName(QStringLiteral("pageField"));
    pageField_->setKeyboardTracking(false);
    pageField_->setRange(PageCount() == 0 ? 0 : 1, std::max(PageCount(), 0));
    pageField_->setSuffix(QStringLiteral(" / %1").arg(PageCount()));
    connect(pageField_, &QSpinBox::valueChanged, this, [this](int page) { GoToPage(page - 1); });
    bar->addWidget(pageField_);
    addButton(QStringLiteral(">"), QStringLiteral("nextPage"), &PreviewWindow::NextPage);
    addButton(QStringLiteral(">|"), QStringLiteral("lastPage"), &PreviewWindow::LastPage);
    bar->addSpacing(16);
    addButton(QStringLiteral("Teljes oldal"), QStringLiteral("zoomToPage"),
              &PreviewWindow::ZoomToPage);
    addButton(QStringLiteral("Oldalszélesség"), QStringLiteral("zoomToWidth"),
              &PreviewWindow::ZoomToWidth);
    addButton(QStringLiteral("-"), QStringLiteral("zoomOut"), &PreviewWindow::ZoomOut);
    // The zoom in per cent of the real size; a value typed here fixes the zoom.
    zoomField_ = new QSpinBox(this);
    zoomField_->setObjectName(QStringLiteral("zoomField"));
    zoomField_->setKeyboardTracking(false);
    zoomField_->setRange(static_cast<int>(kMinZoom * 100), static_cast<int>(kMaxZoom * 100));
    zoomField_->setSuffix(QStringLiteral(" %"));
    connect(zoomField_, &QSpinBox::valueChanged, this, [this](int percent) {
        mode_ = ZoomMode::Fixed;
        zoom_ = percent / 100.0;
        Render();
    });
    bar->addWidget(zoomField_);
    addButton(QStringLiteral("+"), QStringLiteral("zoomIn"), &PreviewWindow::ZoomIn);
    bar->addSpacing(16);
    addButton(QStringLiteral("Nyomtatás..."), QStringLiteral("print"),
              &PreviewWindow::PrintWithDialog);
    bar->addStretch(1);
    addButton(QStringLiteral("Bezárás"), QStringLiteral("close"), &PreviewWindow::CloseWindow);

    // The keys work wherever the focus is in the window (the page area would otherwise
    // scroll on PageUp/PageDown).
    AddShortcut(QKeySequence(Qt::Key_PageDown), &PreviewWindow::NextPage);
    AddShortcut(QKeySequence(Qt::Key_PageUp), &PreviewWindow::PreviousPage);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), &PreviewWindow::FirstPage);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_End), &PreviewWindow::LastPage);
    AddShortcut(QKeySequence(Qt::Key_Escape), &PreviewWindow::CloseWindow);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageView_ = new QLabel(scroll_);
    pageView_->setObjectName(QStringLiteral("pageView"));
    scroll_->setWidget(pageView_);
    layout->addWidget(scroll_, 1);
    scroll_->viewport()->installEventFilter(this);
    UpdateZoom();
}

QString PreviewWindow::PageLabelText() const {
    return QStringLiteral("%1 / %2").arg(PageCount() == 0 ? 0 : pageIndex_ + 1).arg(PageCount());
}

QString PreviewWindow::ProposedPdfPath() const {
    QString name =
        QString::fromStdString(document_.fileName.empty() ? document_.title : document_.fileName);
    // Characters a file name cannot hold, or that would make it a path, become "_".
    static const QRegularExpression kUnsafe(QStringLiteral(R"([/\\:*?"<>|\x00-\x1f])"));
    name.replace(kUnsafe, QStringLiteral("_"));
    if (name.trimmed().isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("dokumentum"));
    return QDir::current().absoluteFilePath(name + QStringLiteral(".pdf"));
}

void PreviewWindow::AddShortcut(const QKeySequence& keys, void (PreviewWindow::*slot)()) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, slot);
}

void PreviewWindow::CloseWindow() {
    close();
}

void PreviewWindow::FirstPage() {
    GoToPage(0);
}
void PreviewWindow::PreviousPage() {
    GoToPage(pageIndex_ - 1);
}
void PreviewWindow::NextPage() {
    GoToPage(pageIndex_ + 1);
}
void PreviewWindow::LastPage() {
    GoToPage(PageCount() - 1);
}

void PreviewWindow::GoToPage(int index) {
    const int clamped = std::clamp(index, 0, std::max(PageCount() - 1, 0));
    if (clamped == pageIndex_ && !pageView_->pixmap().isNull())
        return;
    pageIndex_ = clamped;
    Render();
}

void PreviewWindow::ZoomToPage() {
    mode_ = ZoomMode::FitPage;
    UpdateZoom();
}

void PreviewWindow::ZoomToWidth() {
    mode_ = ZoomMode::FitWidth;
    UpdateZoom();
}

void PreviewWindow::ZoomIn() {
    mode_ = ZoomMode::Fixed;
    zoom_ = std::min(zoom_ * kZoomStep, kMaxZoom);
    Render();
}

void PreviewWindow::ZoomOut() {
    mode_ = ZoomMode::Fixed;
    zoom_ = std::max(zoom_ / kZoomStep, kMinZoom);
    Render();
}

void PreviewWindow::PrintWithDialog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(document_.title));
    QPrintDialog dialog(&printer, this);
    // Printing to a file proposes the current folder and the document's own name, not a
    // file named after the report's title in the home folder. (The field of Qt's dialog is
    // filled directly: naming the file on the printer would preselect printing to a file.)
    if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
        file->setText(ProposedPdfPath());
    if (dialog.exec() == QDialog::Accepted)
        PrintDocument(document_, printer);
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    // The fitting zooms follow the size of the page area.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize &&
        mode_ != ZoomMode::Fixed)
        UpdateZoom();
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageDown:
            NextPage();
            break;
        case Qt::Key_PageUp:
            PreviousPage();
            break;
        case Qt::Key_Home:
            FirstPage();
            break;
        case Qt::Key_End:
            LastPage();
            break;
        case Qt::Key_Escape:
            CloseWindow();
            break;
        case Qt::Key_Plus:
            ZoomIn();
            break;
        case Qt::Key_Minus:
            ZoomOut();
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void PreviewWindow::UpdateZoom() {
    const QSize area = scroll_->viewport()->size() - QSize(16, 16);
    const double pageW = document_.paperWidth / 25.4 * kScreenDpi;
    const double pageH = document_.paperHeight / 25.4 * kScreenDpi;
    if (mode_ == ZoomMode::FitPage && area.width() > 0 && area.height() > 0)
        zoom_ = std::min(area.width() / pageW, area.height() / pageH);
    else if (mode_ == ZoomMode::FitWidth && area.width() > 0)
        zoom_ = (area.width() - scroll_->verticalScrollBar()->sizeHint().width()) / pageW;
    zoom_ = std::clamp(zoom_, kMinZoom, kMaxZoom);
    Render();
}

void PreviewWindow::Render() {
    {
        const QSignalBlocker quietPage(pageField_);
        const QSignalBlocker quietZoom(zoomField_);
        pageField_->setValue(PageCount() == 0 ? 0 : pageIndex_ + 1);
        zoomField_->setValue(static_cast<int>(zoom_ * 100 + 0.5));
    }
    const double ratio = devicePixelRatioF();
    QImage image = RenderPageImage(document_, pageIndex_, kScreenDpi * zoom_ * ratio);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    pageView_->setPixmap(pixmap);
    pageView_->resize(pixmap.deviceIndependentSize().toSize());
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

namespace {

// Opens the window maximised. Without a window manager (a bare X server) nothing honours
// the maximised state, so the window is first given the screen's whole available area.
void ShowMaximizedOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
}

}  // namespace

void ExecPreview(PageDocument document, QWidget* parent) {
    PreviewWindow window(std::move(document), parent);
    window.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(&window, &PreviewWindow::closed, &loop, &QEventLoop::quit);
    ShowMaximizedOnScreen(window);
    window.ZoomToPage();
    loop.exec();
}

PreviewWindow* ShowPreview(PageDocument document, QWidget* parent) {
    auto* window = new PreviewWindow(std::move(document), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    ShowMaximizedOnScreen(*window);
    window->ZoomToPage();
    return window;
}

}  // namespace dorvan::report
