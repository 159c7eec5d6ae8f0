// Protocol files that cannot be created or written: the error reaches the operator once, the run
// goes on, and every line already written stays in its file.

#include <sys/mount.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <optional>

#include "tests/support/expectations.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"
#include "tests/support/warnings.h"

namespace {

// The complete lines of a protocol file, each ended by CR LF.
QList<QByteArray> CompleteLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast();  // after the last line end: empty, or a line cut off
    for (const QByteArray& line : lines) {
        if (!line.endsWith('\r') || !line.startsWith("Addr: ")) {
            return {};
        }
    }
    return lines;
}

// How many of the messages report a failed write to `file`.
int WriteFailures(const QStringList& messages, const QString& file) {
    return static_cast<int>(
        std::count_if(messages.begin(), messages.end(), [&file](const QString& text) {
            return text.startsWith(QStringLiteral("Cannot write file")) && text.contains(file);
        }));
}

// Runs registration of the slots `numbers` with the protocol files named after `path` until slot 2
// has written `lines` lines, then stops it and unticks the protocol box.
void RunUntilLines(RegistrationTabDriver& tab, std::initializer_list<int> numbers,
                   const QString& path, const QString& slotTwoFile, int lines) {
    tab.TickSlots(numbers);
    tab.SwitchProtocolOn(path);
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(CompleteLines(slotTwoFile).size() >= lines, kPatienceMs);
    tab.Toggle();
    tab.protocol->setChecked(false);
}

// A tmpfs of one page mounted on a directory for the life of the object, where the system lets
// this process mount one.
class OnePageFileSystem {
public:
    explicit OnePageFileSystem(const QString& directory)
        : directory_(QFile::encodeName(directory)),
          mounted_(::mount("tensovia-full", directory_.constData(), "tmpfs", 0, "size=4k") == 0) {}
    ~OnePageFileSystem() {
        if (mounted_) {
            ::umount2(directory_.constData(), MNT_DETACH);
        }
    }
    bool Mounted() const { return mounted_; }

private:
    QByteArray directory_;
    bool mounted_;
};

// Files of this process may not grow beyond `bytes` while the object lives; writing beyond fails
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace

class ProtocolFileFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void filesCannotBeCreated_data();
    void filesCannotBeCreated();
    void oneFileCannotBeCreated();
    void noRoomForOneFile_data();
    void noRoomForOneFile();
    void fileStopsGrowing();
};

void ProtocolFileFaultsTest::filesCannotBeCreated_data() {
    // The tests run as root, for whom a directory without write permission is no obstacle.
    QTest::addColumn<QString>("inside");
    QTest::newRow("missing directory") << QStringLiteral("missing/p.txt");
    QTest::newRow("file in the way") << QStringLiteral("plain/p.txt");
}

void ProtocolFileFaultsTest::filesCannotBeCreated() {
    QFETCH(QString, inside);
    QTemporaryDir directory;
    QFile plain(directory.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    ProgramFixture program;
    RegistrationTabDriver tab(program);
    tab.TickSlots({2, 5});
    tab.SwitchProtocolOn(directory.filePath(inside));
    const QStringList messages = program.Modals().TakeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith(QStringLiteral("Cannot create file")) &&
                 messages[0].contains(QStringLiteral("p_2.txt")),
             qPrintable(messages[0]));
    // Registration goes on without protocol files.
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(tab.Lamp(2) == kGreen && tab.Lamp(5) == kGreen, kPatienceMs);
    tab.Toggle();
    tab.protocol->setChecked(false);
    QCOMPARE(program.Modals().TakeMessages(), QStringList());
    QVERIFY(tab.protocol->isEnabled());
}

void ProtocolFileFaultsTest::oneFileCannotBeCreated() {
    // Slot 5's file name is taken by a directory: the file of slot 2, created before it, is
    // written all the same.
    QTemporaryDir directory;
    QVERIFY(QDir(directory.path()).mkdir(QStringLiteral("p_5.txt")));
    ProgramFixture program;
    RegistrationTabDriver tab(program);
    tab.TickSlots({2, 5});
    tab.SwitchProtocolOn(directory.filePath(QStringLiteral("p.txt")));
    const QStringList messages = program.Modals().TakeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(QStringLiteral("p_5.txt")), qPrintable(messages[0]));
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(
        CompleteLines(directory.filePath(QStringLiteral("p_2.txt"))).size() >= 2, kPatienceMs);
    QCOMPARE(tab.Lamp(5), kGreen);
    tab.Toggle();
    tab.protocol->setChecked(false);
    QCOMPARE(program.Modals().TakeMessages(), QStringList());
}

void ProtocolFileFaultsTest::noRoomForOneFile_data() {
    QTest::addColumn<bool>("fileSystem");
    // Slot 3's file is a link to /dev/full, where every write fails with "no space left".
    QTest::newRow("full device") << false;
    // A file system of one page: slot 2 writes first and takes it, slot 3 finds no room at its
    // first line.
    QTest::newRow("full file system") << true;
}

void ProtocolFileFaultsTest::noRoomForOneFile() {
    QFETCH(bool, fileSystem);
    QTemporaryDir directory;
    std::optional<OnePageFileSystem> onePage;
    if (fileSystem) {
        onePage.emplace(directory.path());
        if (!onePage->Mounted()) {
            QSKIP("this process may not mount a tmpfs");
        }
    } else {
        QVERIFY(QFile::link(QStringLiteral("/dev/full"),
                            directory.filePath(QStringLiteral("p_3.txt"))));
    }
    ProgramFixture program;
    RegistrationTabDriver tab(program);
    const QString slotTwoFile = directory.filePath(QStringLiteral("p_2.txt"));
    RunUntilLines(tab, {2, 3}, directory.filePath(QStringLiteral("p.txt")), slotTwoFile, 4);
    // Once, not once a line; the run went on, and slot 2's file kept every line.
    const QStringList messages = program.Modals().TakeMessages();
    QCOMPARE(WriteFailures(messages, QStringLiteral("p_3.txt")), 1);
    QCOMPARE(WriteFailures(messages, QStringLiteral("p_2.txt")), 0);
    QCOMPARE(tab.Lamp(3), kGreen);
    QVERIFY(CompleteLines(slotTwoFile).size() >= 4);
}

void ProtocolFileFaultsTest::fileStopsGrowing() {
    // The file of slot 2 fills up in the middle of a run: the lines before stay whole.
    QTemporaryDir directory;
    const QString file = directory.filePath(QStringLiteral("p_2.txt"));
    ProgramFixture program;
    RegistrationTabDriver tab(program);
    tab.TickSlots({2});
    tab.SwitchProtocolOn(directory.filePath(QStringLiteral("p.txt")));
    tab.Toggle();
    QTRY_VERIFY_WITH_TIMEOUT(CompleteLines(file).size() >= 2, kPatienceMs);
    QList<QByteArray> before;
    {
        const FileSizeLimit limit(static_cast<rlim_t>(QFileInfo(file).size()) + 30);
        before = CompleteLines(file);
        QTRY_VERIFY_WITH_TIMEOUT(!program.Modals().Messages().isEmpty(), kPatienceMs);
        // Registration goes on.
        const auto sends = program.Trace().count(QStringLiteral("Передача началась"));
        QTRY_VERIFY_WITH_TIMEOUT(
            program.Trace().count(QStringLiteral("Передача началась")) > sends + 2, kPatienceMs);
        tab.Toggle();
        tab.protocol->setChecked(false);
    }
    QCOMPARE(WriteFailures(program.Modals().TakeMessages(), QStringLiteral("p_2.txt")), 1);
    QCOMPARE(CompleteLines(file).mid(0, before.size()), before);
    QCOMPARE(tab.Lamp(2), kGreen);
}

QTEST_MAIN(ProtocolFileFaultsTest)
#include "protocol_file_faults_test.moc"
