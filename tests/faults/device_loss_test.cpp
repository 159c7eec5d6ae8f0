// The device disappears in the middle of a registration run, as a pulled USB modem does, and
// comes back under a new pseudo-terminal behind the same link. The program's side hangs up: the
// slots time out as silent, no thread spins on the dead device, and closing and opening the port
// on the port tab brings the transmitters back.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/expectations.h"
#include "tests/support/proc_stats.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"

using namespace std::chrono_literals;

namespace {

int ThreadCount() {
    return static_cast<int>(procstats::ThreadIds(0).size());
}

// The largest share of one core (0 to 1) that any thread of this process used over `window`,
// with the event loop running all the while.
double BusiestThreadShare(std::chrono::milliseconds window) {
    const auto before = procstats::SampleThreads(0);
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::qWait(static_cast<int>(window.count()));
    const auto used = procstats::Since(before, procstats::SampleThreads(0));
    const double seconds = static_cast<double>(elapsed.elapsed()) / 1000.0;
    double busiest = 0;
    for (const procstats::ThreadSample& thread : used) {
        busiest = std::max(busiest, std::chrono::duration<double>(thread.cpu).count() / seconds);
    }
    return busiest;
}

}  // namespace

class DeviceLossTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void deviceGoneAndBackDuringARun();
};

void DeviceLossTest::deviceGoneAndBackDuringARun() {
    QTemporaryDir directory;
    const QString link = directory.filePath(QStringLiteral("COM1"));
    ProgramFixture program({QStringLiteral("--link"), link});
    // From now on COM1 opens the link, the stable name that follows the device wherever it goes.
    qputenv("TENSOVIA_COM1", QFile::encodeName(link));
    RegistrationTabDriver tab(program);
    tab.TickAllSlots();
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kGreen), kPatienceMs);
    const int threads = ThreadCount();

    QCOMPARE(program.Simulator().Control(QStringLiteral("replug 4000")),
             QStringLiteral("ok replug 4000"));
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kRed), kPatienceMs);
    const double busiest = BusiestThreadShare(1500ms);
    QVERIFY2(busiest < 0.3, qPrintable(QStringLiteral("a thread used %1 of a core").arg(busiest)));

    const QString plugged = program.Simulator().NextLine(20s);
    QVERIFY2(plugged.startsWith(QLatin1String("slave: ")), qPrintable(plugged));
    // The hung-up port stays dead although the device is back.
    QTest::qWait(1500);
    QVERIFY(tab.LampsAre(1, 10, kRed));

    ClosePort(program);
    OpenPort(program);
    QTRY_VERIFY_WITH_TIMEOUT(tab.LampsAre(1, 10, kGreen), kPatienceMs);
    tab.Toggle();
    QCOMPARE(program.Modals().TakeMessages(), QStringList());
    // The threads of the dead port ended with it.
    QTRY_COMPARE(ThreadCount(), threads);
}

QTEST_MAIN(DeviceLossTest)
#include "device_loss_test.moc"
