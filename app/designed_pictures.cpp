#include "app/designed_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace dorvan::app {

QPixmap DesignedSplashPicture() {
    QPixmap pm(318, 338);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 338);
    sky.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    sky.setColorAt(0.55, QColor(0xDC, 0xE9, 0xF7));
    sky.setColorAt(1.0, QColor(0x9C, 0xBE, 0xE3));
    p.fillRect(pm.rect(), sky);
    // A band across the upper part carries the product name.
    p.fillRect(QRect(0, 38, 318, 64), QColor(0x1F, 0x4E, 0x8C));
    p.setPen(Qt::white);
    p.setFont(QFont("Arial", 26, QFont::Bold));
    p.drawText(QRect(16, 38, 290, 64), Qt::AlignLeft | Qt::AlignVCenter, "Dorvan");
    p.setFont(QFont("Arial", 14, QFont::Bold));
    p.drawText(QRect(16, 38, 286, 64), Qt::AlignRight | Qt::AlignVCenter, "2007");
    p.setPen(QColor(0x1F, 0x4E, 0x8C));
    p.setFont(QFont("Arial", 9));
    p.drawText(QRect(16, 110, 230, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QString::fromUtf8("Készletnyilvántartás, számlázás,\nvállalatirányítás"));
    p.setFont(QFont("Arial", 8));
    p.drawText(QRect(16, 262, 286, 20), Qt::AlignLeft | Qt::AlignVCenter, "Norvello");
    return pm;
}

QPixmap DesignedProgressPicture() {
    QPixmap pm(329, 114);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 114);
    g.setColorAt(0.0, QColor(0x3A, 0x6E, 0xB0));
    g.setColorAt(1.0, QColor(0x1F, 0x4E, 0x8C));
    p.fillRect(pm.rect(), g);
    return pm;
}

}  // namespace dorvan::app
