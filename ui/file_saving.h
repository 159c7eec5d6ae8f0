#pragma once
// Files the operator saves: asked for by name, replaced only once all of a file is written (a
// failed save leaves any file of that name as it was), and tables written as CSV the way
// spreadsheets of the workstation's language read them.

#include <QByteArray>
#include <QFileDialog>
#include <QIODevice>
#include <QLocale>
#include <QString>
#include <functional>

// Writes `path` through `write`; the reason it could not, or an empty text when it could.
QString SaveFile(const QString& path, const std::function<bool(QIODevice&)>& write);
// The same, a warning box on `parent` saying why a file could not be written. True when it was.
bool SaveFileOrWarn(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QWidget* parent);
// Asks for the name of a `suffix` file with `dialog`, made on first use as a child of `parent`
// named `name`, and hands the name chosen to `save`.
void AskFileName(QFileDialog*& dialog, QWidget* parent, const char* name, const QString& suffix,
                 const std::function<void(const QString&)>& save);

// CSV: UTF-8 with a byte-order mark (it tells spreadsheets the text is UTF-8), lines ended by
// CR LF, numbers with the locale's decimal separator and fields separated by ";" where that
// separator is the comma, else by ",".
struct CsvFormat {
    explicit CsvFormat(const QLocale& locale);

    QByteArray decimalPoint;
    QByteArray separator;
};
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
// `fields` as one line: a field holding the separator, a quote or a line break is quoted.
QByteArray CsvLine(const QStringList& fields, const CsvFormat& format);
