#pragma once
// "Поиск датчиков": a window beside the main window that scans a range of poll addresses for
// transmitters, lists who answered, hands the poll addresses 1 to 10 found to the registration
// tab and saves the list as CSV.

#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "scan/line_scan.h"

namespace scan {

// What the window needs of the main window.
struct ScanHooks {
    // Why the line may not be scanned now (the port closed, another exchange on it); empty when
    // it may.
    std::function<QString()> refusal;
    // The attempt limit the operator gave ("Число попыток"); throws for a text that is no number.
    std::function<int()> attemptLimit;
    // Takes over the poll addresses found among 1 to 10 for registration.
    std::function<void(const std::vector<int>&)> pollFound;
};

class ScanWindow : public QWidget {
    Q_OBJECT
public:
    ScanWindow(hart::SessionState& session, ser::TSerCustomComm& port, hart::FrameSender& sender,
               TraceMemo& memo, ScanHooks hooks, QWidget* parent = nullptr);

    LineScan& Scan() { return scan_; }
    const std::vector<ScanRow>& Rows() const { return rows_; }
    // Writes the list as CSV to `path`; a message box says why a file could not be written.
    bool SaveList(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void StartClick();
    void AddressTried(int index, int count, int address);
    void RowFound(const ScanRow& row);
    void Finished();
    void PollFoundClick();

    ScanHooks hooks_;
    LineScan scan_;
    std::vector<ScanRow> rows_;

    QSpinBox* firstAddress_ = nullptr;
    QSpinBox* lastAddress_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* pollFoundButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
};

}  // namespace scan
