// Micro-benchmarks of the hot paths: framing a request, collecting and dispatching each answer,
// the value conversions. Widgets need an application object, so this main creates one
// (offscreen unless QT_QPA_PLATFORM says otherwise) before running the benchmarks.

#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
