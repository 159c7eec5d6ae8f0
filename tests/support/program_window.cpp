#include "tests/support/program_window.h"

#include <QFile>
#include <QPlainTextEdit>
#include <utility>

#include "ui/string_grid.h"
#include "ui/timer.h"

ProgramWindow::ProgramWindow(QString wireLog)
    : wireLog_(std::move(wireLog)), form_(std::make_unique<TForm1>()) {}

ProgramWindow::~ProgramWindow() = default;

TTimer* ProgramWindow::Timer(const char* name) {
    return form_->findChild<TTimer*>(QLatin1String(name));
}

QStringList ProgramWindow::Trace() {
    return Find<QPlainTextEdit>("TabSheet1", "Memo1")->toPlainText().split(u'\n');
}

TStringGrid& ProgramWindow::SetupTable() {
    return *Find<TStringGrid>("TabSheet1", "StringGrid1");
}

TStringGrid& ProgramWindow::RegistrationTable() {
    return *Find<TStringGrid>("TabSheet2", "StringGrid2");
}

std::vector<ProgramWindow::WireFrame> ProgramWindow::RequestLog() const {
    QFile log(wireLog_);
    std::vector<WireFrame> frames;
    if (!log.open(QIODevice::ReadOnly)) {
        return frames;
    }
    while (!log.atEnd()) {
        const QList<QByteArray> fields = log.readLine().trimmed().split(' ');
        if (fields.size() < 3 || fields[1] != "rx") {
            continue;
        }
        WireFrame frame{fields[0].toDouble(), {}};
        for (qsizetype i = 2; i < fields.size(); ++i) {
            frame.bytes.push_back(static_cast<std::uint8_t>(fields[i].toUInt()));
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

std::vector<ProgramWindow::Bytes> ProgramWindow::RequestsOnWire() const {
    std::vector<Bytes> frames;
    for (WireFrame& frame : RequestLog()) {
        frames.push_back(std::move(frame.bytes));
    }
    return frames;
}
