#include "scan/scan_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/application_error.h"
#include "ui/file_saving.h"
#include "ui/message_boxes.h"
#include "ui/named.h"

namespace scan {

ScanWindow::ScanWindow(hart::SessionState& session, ser::TSerCustomComm& port,
                       hart::FrameSender& sender, TraceMemo& memo, ScanHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window),
      hooks_(std::move(hooks)),
      scan_(session, port, sender, memo,
            LineScan::Listener{
                .addressTried = [this](int index, int count,
                                       int address) { AddressTried(index, count, address); },
                .rowFound = [this](const ScanRow& row) { RowFound(row); },
                .finished = [this] { Finished(); },
            }) {
    setObjectName(QStringLiteral("ScanWindow"));
    setWindowTitle(QStringLiteral("Поиск датчиков"));
    CreateControls();
    resize(1250, 460);
}

void ScanWindow::CreateControls() {
    firstAddress_ = NewNamed<QSpinBox>("ScanFirstAddress");
    lastAddress_ = NewNamed<QSpinBox>("ScanLastAddress");
    for (QSpinBox* box : {firstAddress_, lastAddress_}) {
        box->setRange(0, hart::standard::kHighestPollAddress);
    }
    lastAddress_->setValue(15);
    startButton_ = NewNamed<QPushButton>("ScanStartButton", QStringLiteral("Начать поиск"));
    stopButton_ = NewNamed<QPushButton>("ScanStopButton", QStringLiteral("Остановить"));
    stopButton_->setEnabled(false);
    progress_ = NewNamed<QProgressBar>("ScanProgress");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QString());
    table_ = NewNamed<QTableWidget>("ScanTable", 0, static_cast<int>(ScanColumnTitles().size()));
    table_->setHorizontalHeaderLabels(ScanColumnTitles());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pollFoundButton_ =
        NewNamed<QPushButton>("ScanPollFoundButton", QStringLiteral("Опрашивать найденные"));
    saveButton_ = NewNamed<QPushButton>("ScanSaveButton", QStringLiteral("Сохранить список..."));

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Адреса опроса с")));
    range->addWidget(firstAddress_);
    range->addWidget(new QLabel(QStringLiteral("по")));
    range->addWidget(lastAddress_);
    range->addWidget(startButton_);
    range->addWidget(stopButton_);
    range->addWidget(progress_, 1);
    auto* actions = new QHBoxLayout;
    actions->addStretch(1);
    actions->addWidget(pollFoundButton_);
    actions->addWidget(saveButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(table_, 1);
    layout->addLayout(actions);

    connect(startButton_, &QPushButton::clicked, this,
            [this] { Guarded([this] { StartClick(); }); });
    connect(stopButton_, &QPushButton::clicked, this, [this] { scan_.Stop(); });
    connect(pollFoundButton_, &QPushButton::clicked, this, [this] { PollFoundClick(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] {
        AskFileName(saveDialog_, this, "ScanSaveDialog", QStringLiteral("csv"),
                    [this](const QString& path) { SaveList(path); });
    });
}

void ScanWindow::StartClick() {
    if (const QString refusal = hooks_.refusal(); !refusal.isEmpty()) {
        ShowMessage(refusal, this);
        return;
    }
    const int first = firstAddress_->value();
    const int last = lastAddress_->value();
    if (first > last) {
        ShowMessage(QStringLiteral("Первый адрес поиска больше последнего"), this);
        return;
    }
    const int attempts = hooks_.attemptLimit();
    rows_.clear();
    table_->setRowCount(0);
    startButton_->setEnabled(false);
    stopButton_->setEnabled(true);
    progress_->setRange(0, last - first + 1);
    scan_.Start(ScanRange{.first = first, .last = last, .attempts = attempts});
}

void ScanWindow::AddressTried(int index, int count, int address) {
    progress_->setValue(index);
    progress_->setFormat(QStringLiteral("Адрес %1 (%2 из %3)").arg(address).arg(index).arg(count));
}

void ScanWindow::RowFound(const ScanRow& row) {
    rows_.push_back(row);
    const int at = table_->rowCount();
    table_->insertRow(at);
    const QStringList texts = ScanRowTexts(row);
    for (int column = 0; column < texts.size(); ++column) {
        table_->setItem(at, column, new QTableWidgetItem(texts[column]));
    }
}

void ScanWindow::Finished() {
    startButton_->setEnabled(true);
    stopButton_->setEnabled(false);
    progress_->setFormat(QStringLiteral("Найдено датчиков: %1").arg(rows_.size()));
}

void ScanWindow::PollFoundClick() {
    std::vector<int> addresses;
    for (const ScanRow& row : rows_) {
        if (row.identity && row.pollAddress >= 1 && row.pollAddress <= hart::kSlotCount) {
            addresses.push_back(row.pollAddress);
        }
    }
    hooks_.pollFound(addresses);
}

bool ScanWindow::SaveList(const QString& path) {
    return SaveFileOrWarn(
        path,
        [this](QIODevice& device) {
            const CsvFormat format(QLocale::system());
            QByteArray text = kUtf8ByteOrderMark + CsvLine(ScanColumnTitles(), format);
            for (const ScanRow& row : rows_) {
                text += CsvLine(ScanRowTexts(row), format);
            }
            return device.write(text) == text.size();
        },
        this);
}

void ScanWindow::closeEvent(QCloseEvent* event) {
    scan_.Stop();
    QWidget::closeEvent(event);
}

}  // namespace scan
