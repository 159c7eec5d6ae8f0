#include "ui/file_saving.h"

#include <QSaveFile>

#include "ui/message_boxes.h"
#include "ui/named.h"

QString SaveFile(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (!write(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

bool SaveFileOrWarn(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QWidget* parent) {
    const QString reason = SaveFile(path, write);
    if (reason.isEmpty()) {
        return true;
    }
    ShowWarning(QStringLiteral("Не удалось сохранить файл %1: %2").arg(path, reason), parent);
    return false;
}

void AskFileName(QFileDialog*& dialog, QWidget* parent, const char* name, const QString& suffix,
                 const std::function<void(const QString&)>& save) {
    if (dialog == nullptr) {
        dialog = NewNamed<QFileDialog>(name, parent);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setNameFilter(QStringLiteral("%1 (*.%2)").arg(suffix.toUpper(), suffix));
        dialog->setDefaultSuffix(suffix);
    }
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        save(dialog->selectedFiles().constFirst());
    }
}

CsvFormat::CsvFormat(const QLocale& locale)
    : decimalPoint(locale.decimalPoint().toUtf8()), separator(decimalPoint == "," ? ";" : ",") {}

QByteArray CsvLine(const QStringList& fields, const CsvFormat& format) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QByteArray field = fields[i].toUtf8();
        if (field.contains(format.separator) || field.contains('"') || field.contains('\n') ||
            field.contains('\r')) {
            field = '"' + field.replace("\"", "\"\"") + '"';
        }
        line.append(i == 0 ? QByteArray() : format.separator).append(field);
    }
    return line.append("\r\n");
}
