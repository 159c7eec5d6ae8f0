// The protocol files themselves: their names, their Windows-1251 text with CR LF line ends, what
// happens to a piece for a slot without a file, and files that cannot be created or written.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "modes/protocol_files.h"
#include "tests/support/warnings.h"

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Reports {
    QStringList texts;
    std::function<void(std::exception_ptr)> Sink() {
        return [this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                texts << QString::fromUtf8(e.what());
            }
        };
    }
};

}  // namespace

class ProtocolFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FailOnUnexpectedWarnings(); }
    void fileNames_data();
    void fileNames();
    void lineInWindows1251WithCrLf();
    void pieceForASlotWithoutFileIsSkipped();
    void fileThatCannotBeCreated();
    void fullDiskReportedOnceAndRunGoesOn();
};

void ProtocolFilesTest::fileNames_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::newRow("txt") << "/p/test.txt" << 2 << "/p/test_2.txt";
    QTest::newRow("slot 10") << "/p/test.txt" << 10 << "/p/test_10.txt";
    // Four characters go whatever the extension is.
    QTest::newRow("other extension") << "/p/log.dat" << 1 << "/p/log_1.txt";
    QTest::newRow("short extension") << "/p/a.b" << 1 << "/p_1.txt";
    QTest::newRow("shorter than four") << "ab" << 3 << "_3.txt";
}

void ProtocolFilesTest::fileNames() {
    QFETCH(QString, chosen);
    QFETCH(int, slot);
    QFETCH(QString, name);
    QCOMPARE(modes::ProtocolFiles::SlotFileName(chosen, slot), name);
}

void ProtocolFilesTest::lineInWindows1251WithCrLf() {
    QTemporaryDir dir;
    Reports reports;
    const QString path = dir.filePath(QStringLiteral("line_1.txt"));
    {
        modes::ProtocolFiles files(reports.Sink());
        files.Create(1, path);
        QVERIFY(files.IsOpen(1));
        QCOMPARE(Contents(path), QByteArray());
        files.ProtocolWrite(1, QStringLiteral("Давление/Pressure: "));
        files.ProtocolWrite(1, QStringLiteral("t(°C): 23,45"));
        files.ProtocolEndLine(1);
        // A complete line is on disk at once.
        const QByteArray line = Contents(path);
        QVERIFY(
            line.startsWith("\xC4\xE0\xE2\xEB\xE5\xED\xE8\xE5/Pressure: t(\xB0"
                            "C): 23,45 "));
        QVERIFY(line.endsWith("\r\n"));
        QCOMPARE(line.count('\n'), 1);
        // A blank, the date, a blank, the time.
        const QString end = QString::fromLatin1(line.mid(line.indexOf("23,45") + 5));
        QVERIFY2(QRegularExpression(QStringLiteral("^ \\S.*\\d \\d{1,2}:\\d{2}:\\d{2}.*\r\n$"))
                     .match(end)
                     .hasMatch(),
                 qPrintable(end));
        files.ProtocolWrite(1, QStringLiteral("next"));
    }
    // Closing writes what was still buffered.
    QVERIFY(Contents(path).endsWith("\r\nnext"));
    QCOMPARE(reports.texts, QStringList());
}

void ProtocolFilesTest::pieceForASlotWithoutFileIsSkipped() {
    QTemporaryDir dir;
    Reports reports;
    const QString path = dir.filePath(QStringLiteral("p_2.txt"));
    modes::ProtocolFiles files(reports.Sink());
    files.Create(2, path);
    for (std::uint8_t address : {0, 3, 11, 255}) {
        files.ProtocolWrite(address, QStringLiteral("Addr: "));
        files.ProtocolEndLine(address);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("p_2.txt")});
    QCOMPARE(Contents(path), QByteArray());
    QCOMPARE(reports.texts, QStringList());

    // Created again after closing, a slot's file starts empty.
    files.ProtocolWrite(2, QStringLiteral("old"));
    files.ProtocolEndLine(2);
    files.CloseAll();
    QVERIFY(!files.IsOpen(2));
    QVERIFY(Contents(path).startsWith("old"));
    files.Create(2, path);
    QCOMPARE(Contents(path), QByteArray());
}

void ProtocolFilesTest::fileThatCannotBeCreated() {
    QTemporaryDir dir;
    Reports reports;
    modes::ProtocolFiles files(reports.Sink());
    files.Create(1, dir.filePath(QStringLiteral("p_1.txt")));
    const QString missing = dir.filePath(QStringLiteral("no/such/dir/p_2.txt"));
    try {
        files.Create(2, missing);
        QFAIL("created a file in a missing directory");
    } catch (const modes::EInOutError& error) {
        QCOMPARE(
            QString::fromUtf8(error.what()),
            QStringLiteral("Cannot create file \"%1\": No such file or directory").arg(missing));
    }
    // The files created before stay open.
    QVERIFY(files.IsOpen(1));
    QVERIFY(!files.IsOpen(2));
}

void ProtocolFilesTest::fullDiskReportedOnceAndRunGoesOn() {
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        QSKIP("no device here whose writes fail as on a full disk");
    }
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full_3.txt"));
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), full));
    const QString good = dir.filePath(QStringLiteral("good_4.txt"));
    Reports reports;
    modes::ProtocolFiles files(reports.Sink());
    files.Create(3, full);
    files.Create(4, good);
    for (int line = 0; line < 3; ++line) {
        files.ProtocolWrite(3, QStringLiteral("Addr: 3 "));
        files.ProtocolEndLine(3);
        files.ProtocolWrite(4, QStringLiteral("Addr: 4 "));
        files.ProtocolEndLine(4);
    }
    QCOMPARE(reports.texts.size(), 1);
    QVERIFY2(reports.texts[0].startsWith(QStringLiteral("Cannot write file \"%1\": ").arg(full)),
             qPrintable(reports.texts[0]));
    QCOMPARE(Contents(good).count("\r\n"), 3);
}

QTEST_GUILESS_MAIN(ProtocolFilesTest)
#include "protocol_files_test.moc"
