#include "app/qt_ui_port.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include "app/about_box.h"
#include "app/display_text.h"
#include "app/progress_form.h"

namespace dorvan::app {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtUiPort::SetAboutBox(TAboutBox* aboutBox) {
    aboutBox_ = aboutBox;
}

void QtUiPort::SetProgressForm(TProgress_Form* progress) {
    progress_ = progress;
}

void QtUiPort::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), DisplayText(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtUiPort::AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(safeDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtUiPort::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtUiPort::ProcessMessages() {
    QCoreApplication::processEvents();
}

void QtUiPort::IncProgress(const std::string& text) {
    if (aboutBox_) {
        aboutBox_->IncProgress(text);
    } else {
        ProcessMessages();
    }
}

void QtUiPort::SetTableName(const std::string& text) {
    if (aboutBox_) {
        aboutBox_->SetTableName(text);
    } else {
        ProcessMessages();
    }
}

void QtUiPort::ShowProgress(const std::string& header) {
    if (progress_) {
        progress_->SetHeader(header);
        progress_->show();
        ProcessMessages();
    }
}

void QtUiPort::DuckInit(int max) {
    if (progress_) {
        progress_->DuckInit(max);
    }
}

void QtUiPort::DuckRepaint(int position) {
    if (progress_) {
        progress_->DuckRepaint(position);
    }
}

void QtUiPort::HideProgress() {
    if (progress_) {
        progress_->hide();
    }
}

}  // namespace dorvan::app
