#include "tests/support/program_fixture.h"

#include <QFile>
#include <QPlainTextEdit>

#include "ui/string_grid.h"
#include "ui/timer.h"

namespace {

QStringList WithLog(QStringList arguments, const QString& logPath) {
    arguments << QStringLiteral("--log") << logPath;
    return arguments;
}

}  // namespace

ProgramFixture::ProgramFixture(const QStringList& simulatorArguments)
    : simulator_(WithLog(simulatorArguments, directory_.filePath(QStringLiteral("wire.log")))) {
    qputenv("TENSOVIA_COM1", simulator_.SlavePath().toLocal8Bit());
    form_ = std::make_unique<TForm1>();
}

ProgramFixture::~ProgramFixture() {
    form_.reset();
    qunsetenv("TENSOVIA_COM1");
}

TTimer* ProgramFixture::Timer(const char* name) {
    return form_->findChild<TTimer*>(QLatin1String(name));
}

bool ProgramFixture::Control(const QString& line) {
    return simulator_.Control(line).startsWith(QLatin1String("ok"));
}

QStringList ProgramFixture::Trace() {
    return Find<QPlainTextEdit>("TabSheet1", "Memo1")->toPlainText().split(u'\n');
}

TStringGrid& ProgramFixture::SetupTable() {
    return *Find<TStringGrid>("TabSheet1", "StringGrid1");
}

TStringGrid& ProgramFixture::RegistrationTable() {
    return *Find<TStringGrid>("TabSheet2", "StringGrid2");
}

std::vector<ProgramFixture::WireFrame> ProgramFixture::RequestLog() const {
    QFile log(directory_.filePath(QStringLiteral("wire.log")));
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

std::vector<simtest::Bytes> ProgramFixture::RequestsOnWire() const {
    std::vector<simtest::Bytes> frames;
    for (WireFrame& frame : RequestLog()) {
        frames.push_back(std::move(frame.bytes));
    }
    return frames;
}
