#include "ui/application_error.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {

QString MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

}  // namespace

void ReportApplicationError(std::exception_ptr error) {
    // The report must never throw back into the event loop.
    try {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), MessageOf(error),
                        QMessageBox::Ok, QApplication::activeWindow());
        box.setObjectName(QStringLiteral("ApplicationErrorReport"));
        box.exec();
    } catch (...) {
    }
}
