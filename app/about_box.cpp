#include "app/about_box.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QWindow>

#include "app/brand_picture.h"
#include "app/designed_pictures.h"
#include "config/folders.h"
#include "config/main_table.h"
#include "config/version.h"

namespace dorvan::app {

namespace {

void CentreOnScreen(QWidget* w) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w->move(area.center() - w->rect().center());
    }
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("AboutBox");
    setWindowTitle(QString::fromUtf8("Névjegy"));
    setFixedSize(322, 343);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, 322, 343);
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(white);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(2, 2, 318, 338);
    Image1->setScaledContents(true);
    Image1->setPixmap(DesignedSplashPicture());
    Image1->installEventFilter(this);

    // The silver shadow first, so the label itself lies on top of it.
    QFont versionFont("Arial", 10, QFont::Bold);
    VerzioLabel2 = new QLabel("V1.10", Panel1);
    VerzioLabel2->setObjectName("VerzioLabel2");
    VerzioLabel2->setFont(versionFont);
    VerzioLabel2->move(261, 135);
    VerzioLabel2->setStyleSheet("color: silver;");
    VerzioLabel = new QLabel("V1.10", Panel1);
    VerzioLabel->setObjectName("VerzioLabel");
    VerzioLabel->setFont(versionFont);
    VerzioLabel->move(260, 133);
    VerzioLabel->setForegroundRole(QPalette::WindowText);

    Label_Data = new QLabel(Panel1);
    Label_Data->setObjectName("Label_Data");
    Label_Data->setGeometry(8, 299, 305, 14);
    Label_Data->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    ProgressBar = new QProgressBar(Panel1);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setGeometry(8, 314, 302, 16);
    ProgressBar->setRange(0, 110);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    CentreOnScreen(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TAboutBox::OnFocusWindowChanged);
    FormCreate();
}

void TAboutBox::FormCreate() {
    const BrandPicture brand =
        BrandPictureFor(MainTable().Database, GetDataFolder(), "nevjegy.bmp");
    if (brand.action == BrandPicture::Action::Load) {
        Image1->setPixmap(QPixmap(QString::fromStdString(brand.path)));
    } else if (brand.action == BrandPicture::Action::Hide) {
        Image1->hide();
    }
}

void TAboutBox::FormShow() {
    const QString version = "V" + QString::fromStdString(GetVersionString());
    VerzioLabel->setText(version);
    VerzioLabel->adjustSize();
    VerzioLabel2->setText(version);
    VerzioLabel2->adjustSize();
    QCoreApplication::processEvents();
}

void TAboutBox::FormDeactivate() {
    Label_Data->clear();
    ProgressBar->hide();
    close();
}

void TAboutBox::IncProgress(const std::string& /*text*/) {
    QCoreApplication::processEvents();
}

void TAboutBox::SetTableName(const std::string& /*text*/) {
    QCoreApplication::processEvents();
}

void TAboutBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TAboutBox::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() &&
        QGuiApplication::focusWindow() != nullptr) {
        FormDeactivate();
    }
}

void TAboutBox::OnFocusWindowChanged(QWindow* window) {
    // Another window of the program became active.
    if (window && isVisible() && window != windowHandle()) {
        FormDeactivate();
    }
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace dorvan::app
