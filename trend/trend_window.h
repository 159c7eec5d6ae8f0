#pragma once
// "График регистрации": a window beside the main window with one line per slot of the values the
// registration answers brought, a legend of tick boxes that show and hide the lines, the choice
// of the variable for commands 3 and 33, the quantity and its unit on the value axis, the reading
// under the pointer in a tool tip, and the CSV and PNG export. It only reads the trend:
// closing it loses nothing. The legend is a row of tick boxes rather than the chart's own: a
// slot's line is a series per unbroken piece, which that legend would list one by one, and its
// markers show no ticked state.

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <QValueAxis>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "trend/shown_span.h"
#include "trend/slot_line.h"
#include "trend/trend_chart_view.h"
#include "trend/trend_recorder.h"

namespace trend {

class TrendWindow : public QWidget {
    Q_OBJECT
public:
    TrendWindow(const TrendRecorder& recorder, QWidget* parent = nullptr);
    ~TrendWindow() override;

    // Write every reading as CSV, or the chart as PNG, to `path`; a message box says why a file
    // could not be written. True when it was.
    bool SaveCsv(const QString& path);
    bool SaveImage(const QString& path);
    // Shows every reading the trend holds, from now on following it as it grows.
    void ShowEverything();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    // Redraws at once (`delay` 0) or after `delay` ms, once for all changes until then.
    void ScheduleRefresh(int delay);
    void Refresh();
    int PlotColumns() const;
    void ShowTimeAxis();
    void ShowValueAxis(const std::array<std::optional<ReducedLine>, hart::kSlotCount + 1>& lines);
    // The value axis's title names the quantity, with the unit where all slots share it; the tick
    // boxes name their slot's unit where they do not.
    void ShowQuantity();
    // Shows the reading of a drawn line near `position` of the view in a tool tip.
    void ShowReadingAt(QPoint position);
    void UpdateVariableList();
    Variable ChosenVariable() const;
    void Zoom(double factor, double at);
    void Pan(double by);

    const TrendRecorder& recorder_;
    ShownSpan shownSpan_;
    TimeSpan shown_;
    std::optional<Milliseconds> shownNewest_;
    QTimer refresh_;
    int columns_ = 0;  // the plot's width in pixels at the last refresh

    QComboBox* variableList_ = nullptr;
    QPushButton* saveCsvButton_ = nullptr;
    QPushButton* saveImageButton_ = nullptr;
    TrendChartView* chartView_ = nullptr;
    QChart* chart_ = nullptr;  // owned by the view
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    std::array<QCheckBox*, hart::kSlotCount + 1> slotBoxes_{};  // index 0 is unused
    std::array<std::unique_ptr<SlotLine>, hart::kSlotCount + 1> lines_;
    QFileDialog* csvDialog_ = nullptr;
    QFileDialog* imageDialog_ = nullptr;
};

}  // namespace trend
