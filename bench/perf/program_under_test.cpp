#include "bench/perf/program_under_test.h"

#include <QApplication>
#include <QTest>

#include "ui/named.h"

namespace bench {

ProgramUnderTest::ProgramUnderTest(const std::string& com1Path) {
    qputenv("TENSOVIA_COM1", QByteArray::fromStdString(com1Path));
    form_ = std::make_unique<TForm1>(devices_);
    form_->resize(1200, 800);
    CentreOnScreen(*form_);
    form_->showMaximized();
    (void)QTest::qWaitForWindowExposed(form_.get());
    QApplication::processEvents();
}

ProgramUnderTest::~ProgramUnderTest() {
    form_.reset();
    qunsetenv("TENSOVIA_COM1");
}

}  // namespace bench
