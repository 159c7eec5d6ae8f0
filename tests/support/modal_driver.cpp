#include "tests/support/modal_driver.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

ModalDriver::ModalDriver() {
    connect(&poll_, &QTimer::timeout, this, &ModalDriver::Answer);
    poll_.start(5);
}

void ModalDriver::OnDialog(const QString& objectName, std::function<void(QDialog&)> script) {
    scripts_[objectName].enqueue(std::move(script));
}

int ModalDriver::PendingScripts() const {
    int pending = 0;
    for (const auto& queue : scripts_) {
        pending += static_cast<int>(queue.size());
    }
    return pending;
}

QStringList ModalDriver::TakeMessages() {
    boxNames_.clear();
    return std::exchange(messages_, {});
}

void ModalDriver::Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        messages_.append(box->text());
        boxNames_.append(box->objectName());
        box->button(QMessageBox::Ok)->click();
        return;
    }
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (!dialog) {
        return;
    }
    auto queue = scripts_.find(dialog->objectName());
    if (queue == scripts_.end() || queue->isEmpty()) {
        return;
    }
    queue->dequeue()(*dialog);
}

void ClickOk(QDialog& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
}
