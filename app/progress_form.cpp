#include "app/progress_form.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "app/brand_picture.h"
#include "app/designed_pictures.h"
#include "app/display_text.h"
#include "config/folders.h"
#include "config/main_table.h"

namespace dorvan::app {

TProgress_Form::TProgress_Form(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("Progress_Form");
    setFixedSize(333, 118);

    // Flat bevel of width 4 in the panel colour (hex 00BBGGRR F1DDBE).
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, 333, 118);
    Panel1->setAutoFillBackground(true);
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, QColor(0xBE, 0xDD, 0xF1));
    Panel1->setPalette(pal);

    Image2 = new QLabel(Panel1);
    Image2->setObjectName("Image2");
    Image2->setGeometry(2, 2, 329, 114);
    Image2->setScaledContents(true);
    Image2->setPixmap(DesignedProgressPicture());

    ProgressBar = new QProgressBar(Panel1);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setGeometry(16, 26, 297, 16);
    ProgressBar->setRange(0, max_);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    Label_Fejresz = new QLabel(Panel1);
    Label_Fejresz->setObjectName("Label_Fejresz");
    Label_Fejresz->setGeometry(8, 48, 312, 61);
    Label_Fejresz->setAlignment(Qt::AlignCenter);
    Label_Fejresz->setWordWrap(true);
    Label_Fejresz->setFont(QFont("Arial", 9, QFont::Bold));
    Label_Fejresz->setStyleSheet("color: white;");
    SetHeader("Kis türlemet...\r\nOptimális oszlopszélesség felderítése folyamatban.");

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

void TProgress_Form::FormCreate() {
    const BrandPicture brand =
        BrandPictureFor(MainTable().Database, GetDataFolder(), "progress_hatter.bmp");
    if (brand.action == BrandPicture::Action::Load) {
        Image2->setPixmap(QPixmap(QString::fromStdString(brand.path)));
    } else if (brand.action == BrandPicture::Action::Hide) {
        Image2->hide();
    }
}

void TProgress_Form::SetHeader(const std::string& text) {
    Label_Fejresz->setText(DisplayText(text));
}

void TProgress_Form::DuckInit(int max) {
    ProgressBar->setValue(0);
    ProgressBar->setRange(0, max);
    ProgressBar->setValue(0);
    max_ = max;
}

void TProgress_Form::DuckRepaint(int position) {
    ProgressBar->setValue(position);
    ProgressBar->repaint();
    QCoreApplication::processEvents();
}

}  // namespace dorvan::app
