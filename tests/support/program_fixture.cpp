#include "tests/support/program_fixture.h"

namespace detail {

namespace {

QStringList WithLog(QStringList arguments, const QString& logPath) {
    arguments << QStringLiteral("--log") << logPath;
    return arguments;
}

}  // namespace

SimulatorOnCom1::SimulatorOnCom1(const QStringList& arguments)
    : simulator_(WithLog(arguments, directory_.filePath(QStringLiteral("wire.log")))) {
    qputenv("TENSOVIA_COM1", simulator_.SlavePath().toLocal8Bit());
}

SimulatorOnCom1::~SimulatorOnCom1() {
    qunsetenv("TENSOVIA_COM1");
}

QString SimulatorOnCom1::WireLog() const {
    return directory_.filePath(QStringLiteral("wire.log"));
}

}  // namespace detail

ProgramFixture::ProgramFixture(const QStringList& simulatorArguments)
    : SimulatorOnCom1(simulatorArguments), ProgramWindow(WireLog()) {}

bool ProgramFixture::Control(const QString& line) {
    return simulator_.Control(line).startsWith(QLatin1String("ok"));
}
