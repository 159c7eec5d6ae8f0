#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.exec();
}

}  // namespace

void ShowMessage(const QString& text, QWidget* parent) {
    ShowBox(QMessageBox::NoIcon, text, parent);
}

void ShowWarning(const QString& text, QWidget* parent) {
    ShowBox(QMessageBox::Warning, text, parent);
}

void Beep() {
    QApplication::beep();
}
