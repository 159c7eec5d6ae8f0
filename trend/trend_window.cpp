#include "trend/trend_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStandardItemModel>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "trend/pointed_reading.h"
#include "trend/quantity.h"
#include "trend/trend_export.h"
#include "ui/file_saving.h"
#include "ui/named.h"

namespace trend {
namespace {

constexpr int kRefreshAfterData = 200;  // ms: the readings of a tick drawn together
constexpr int kMaxRunsPerSlot = 64;
constexpr Milliseconds kDay = 24LL * 3600 * 1000;
constexpr int kPixelsPerTimeLabel = 110;
constexpr int kPixelsPerDateLabel = 190;
constexpr double kPointingRadius = 8;  // pixels from a reading's point that still point at it

const QStringList kVariableTexts{
    QStringLiteral("Ток"),          QStringLiteral("Переменная 1"), QStringLiteral("Переменная 2"),
    QStringLiteral("Переменная 3"), QStringLiteral("Переменная 4"),
};

QString SlotName(int slot) {
    return QStringLiteral("Датчик №%1").arg(slot);
}

QIcon Swatch(const QColor& colour) {
    QPixmap swatch(14, 14);
    swatch.fill(colour);
    return QIcon(swatch);
}

// The lowest and highest value of the points within a span.
struct ValueRange {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void Take(const QList<QPointF>& points, TimeSpan span) {
        for (const QPointF& point : points) {
            if (span.Contains(static_cast<Milliseconds>(point.x()))) {
                low = std::min(low, point.y());
                high = std::max(high, point.y());
            }
        }
    }
    bool Empty() const { return low > high; }
};

}  // namespace

TrendWindow::TrendWindow(const TrendRecorder& recorder, QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(recorder) {
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(QStringLiteral("График регистрации"));
    resize(1000, 600);
    refresh_.setSingleShot(true);
    CreateControls();
    ConnectHandlers();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::CreateControls() {
    variableList_ = NewNamed<QComboBox>("TrendVariableList");
    variableList_->addItems(kVariableTexts);
    variableList_->setCurrentIndex(static_cast<int>(Variable::First));
    saveCsvButton_ =
        NewNamed<QPushButton>("TrendSaveCsvButton", QStringLiteral("Сохранить CSV..."));
    saveImageButton_ =
        NewNamed<QPushButton>("TrendSaveImageButton", QStringLiteral("Сохранить изображение..."));

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setLocalizeNumbers(true);
    timeAxis_ = new QDateTimeAxis;
    valueAxis_ = new QValueAxis;
    valueAxis_->setLabelFormat(QStringLiteral("%.6g"));
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    chartView_ = new TrendChartView(chart_);
    chartView_->setObjectName(QStringLiteral("TrendChartView"));
    chartView_->setRenderHint(QPainter::Antialiasing);

    auto* legend = new QHBoxLayout;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const QString name = SlotName(slot);
        lines_[slot] =
            std::make_unique<SlotLine>(*chart_, *timeAxis_, *valueAxis_, SlotColour(slot), name);
        slotBoxes_[slot] = NewNamed<QCheckBox>(IndexedName("TrendSlotBox", slot).constData(), name);
        slotBoxes_[slot]->setIcon(Swatch(SlotColour(slot)));
        slotBoxes_[slot]->setChecked(true);
        slotBoxes_[slot]->setVisible(false);
        legend->addWidget(slotBoxes_[slot]);
    }
    legend->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Величина:")));
    top->addWidget(variableList_);
    top->addStretch();
    top->addWidget(saveCsvButton_);
    top->addWidget(saveImageButton_);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(chartView_, 1);
    page->addLayout(legend);
}

void TrendWindow::ConnectHandlers() {
    connect(&refresh_, &QTimer::timeout, this, &TrendWindow::Refresh);
    connect(&recorder_, &TrendRecorder::Changed, this,
            [this] { ScheduleRefresh(kRefreshAfterData); });
    connect(&recorder_, &TrendRecorder::Restarted, this, [this] {
        shownSpan_.ShowEverything();
        shownNewest_.reset();
        ScheduleRefresh(0);
    });
    connect(variableList_, &QComboBox::currentIndexChanged, this, [this] { ScheduleRefresh(0); });
    // A wider or narrower plot has other pixel columns.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (PlotColumns() != columns_) {
            ScheduleRefresh(0);
        }
    });
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        connect(slotBoxes_[slot], &QCheckBox::toggled, this, [this] { ScheduleRefresh(0); });
    }
    connect(chartView_, &TrendChartView::ZoomRequested, this, &TrendWindow::Zoom);
    connect(chartView_, &TrendChartView::PanRequested, this, &TrendWindow::Pan);
    connect(chartView_, &TrendChartView::EverythingRequested, this, &TrendWindow::ShowEverything);
    connect(chartView_, &TrendChartView::TipRequested, this, &TrendWindow::ShowReadingAt);
    connect(saveCsvButton_, &QPushButton::clicked, this, [this] {
        AskFileName(csvDialog_, this, "TrendCsvDialog", QStringLiteral("csv"),
                    [this](const QString& path) { SaveCsv(path); });
    });
    connect(saveImageButton_, &QPushButton::clicked, this, [this] {
        AskFileName(imageDialog_, this, "TrendImageDialog", QStringLiteral("png"),
                    [this](const QString& path) { SaveImage(path); });
    });
}

void TrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ScheduleRefresh(0);
}

void TrendWindow::ShowEverything() {
    shownSpan_.ShowEverything();
    refresh_.stop();
    Refresh();
}

void TrendWindow::ScheduleRefresh(int delay) {
    if (!isVisible() || (refresh_.isActive() && refresh_.remainingTime() <= delay)) {
        return;
    }
    refresh_.start(delay);
}

void TrendWindow::Refresh() {
    const TrendHistory& history = recorder_.History();
    if (const auto newest = history.Newest()) {
        if (shownNewest_) {
            shownSpan_.Follow(*shownNewest_, *newest);
        }
        shownNewest_ = newest;
    }
    shown_ =
        shownSpan_.Span(history.Oldest(), history.Newest(), QDateTime::currentMSecsSinceEpoch());
    columns_ = PlotColumns();
    std::array<std::optional<ReducedLine>, hart::kSlotCount + 1> lines;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        slotBoxes_[slot]->setVisible(history.HasReadings(slot));
        if (history.HasReadings(slot) && slotBoxes_[slot]->isChecked()) {
            lines[slot] = ReduceLine(history.Readings(slot), ChosenVariable(), shown_, columns_,
                                     kMaxRunsPerSlot);
        }
    }
    // Qt Charts lays out every point of a series again when an axis changes and when its points
    // change: the series are emptied before the axes change, so that each point is laid out once.
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        lines_[slot]->Hide();
    }
    ShowTimeAxis();
    ShowValueAxis(lines);
    ShowQuantity();
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (lines[slot]) {
            lines_[slot]->Show(*lines[slot]);
        }
    }
    UpdateVariableList();
}

int TrendWindow::PlotColumns() const {
    return std::max(1, static_cast<int>(std::lround(chart_->plotArea().width())));
}

void TrendWindow::ShowTimeAxis() {
    const bool dated = shown_.Length() > kDay;
    timeAxis_->setFormat(dated ? QStringLiteral("dd.MM.yyyy HH:mm:ss")
                               : QStringLiteral("HH:mm:ss"));
    timeAxis_->setTickCount(
        std::clamp(columns_ / (dated ? kPixelsPerDateLabel : kPixelsPerTimeLabel), 2, 12));
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(shown_.from),
                        QDateTime::fromMSecsSinceEpoch(shown_.to));
}

void TrendWindow::ShowValueAxis(
    const std::array<std::optional<ReducedLine>, hart::kSlotCount + 1>& lines) {
    ValueRange range;
    for (const auto& line : lines) {
        if (line) {
            for (const auto& run : line->runs) {
                range.Take(run, shown_);
            }
            range.Take(line->dots, shown_);
        }
    }
    if (range.Empty()) {
        valueAxis_->setRange(0, 1);
        return;
    }
    // A flat line gets a little room above and below.
    const double margin = range.high > range.low ? (range.high - range.low) * 0.05
                                                 : std::max(std::abs(range.high) * 0.05, 0.5);
    valueAxis_->setRange(range.low - margin, range.high + margin);
    valueAxis_->applyNiceNumbers();
}

void TrendWindow::ShowQuantity() {
    const TrendHistory& history = recorder_.History();
    std::array<Quantity, hart::kSlotCount + 1> quantities;
    std::optional<Quantity> first;
    bool unitsDiffer = false;
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        if (const auto reading = history.NewestReading(slot)) {
            Quantity& quantity = quantities[slot];
            quantity = QuantityOf(reading->command, ChosenVariable(), reading->units);
            if (quantity.name.isEmpty()) {
                continue;
            }
            unitsDiffer = unitsDiffer || (first && first->unit != quantity.unit);
            first = first.value_or(quantity);
        }
    }
    // Where the slots' units differ, the axis names none, and each tick box names its slot's.
    Quantity axis = first.value_or(Quantity{});
    if (unitsDiffer) {
        axis.unit.clear();
    }
    valueAxis_->setTitleText(axis.Text());
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        const QString& unit = quantities[slot].unit;
        slotBoxes_[slot]->setText(unitsDiffer && !unit.isEmpty()
                                      ? SlotName(slot) + QStringLiteral(", ") + unit
                                      : SlotName(slot));
    }
}

void TrendWindow::ShowReadingAt(QPoint position) {
    const QRectF plot =
        chartView_->mapFromScene(chart_->mapToScene(chart_->plotArea())).boundingRect().toRectF();
    const PlotFrame frame{plot, shown_, valueAxis_->min(), valueAxis_->max()};
    DrawnSlots drawn{};
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        drawn[slot] = slotBoxes_[slot]->isVisibleTo(this) && slotBoxes_[slot]->isChecked();
    }
    const std::optional<PointedReading> pointed =
        ReadingNear(recorder_.History(), drawn, ChosenVariable(), frame, position, kPointingRadius);
    if (!pointed) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(chartView_->viewport()->mapToGlobal(position),
                       PointedText(*pointed, ChosenVariable()), chartView_->viewport());
}

void TrendWindow::UpdateVariableList() {
    const std::uint8_t command = recorder_.History().NewestCommand();
    variableList_->setEnabled(ChoiceApplies(command));
    auto* model = qobject_cast<QStandardItemModel*>(variableList_->model());
    const bool currentChoosable = CurrentChoosable(command);
    model->item(static_cast<int>(Variable::Current))->setEnabled(currentChoosable);
    if (!currentChoosable && ChosenVariable() == Variable::Current) {
        variableList_->setCurrentIndex(static_cast<int>(Variable::First));
    }
}

Variable TrendWindow::ChosenVariable() const {
    return static_cast<Variable>(std::max(variableList_->currentIndex(), 0));
}

void TrendWindow::Zoom(double factor, double at) {
    const auto around = shown_.from + static_cast<Milliseconds>(
                                          std::llround(at * static_cast<double>(shown_.Length())));
    shownSpan_.Zoom(shown_, factor, around);
    ScheduleRefresh(0);
}

void TrendWindow::Pan(double by) {
    shownSpan_.Pan(
        shown_, static_cast<Milliseconds>(std::llround(by * static_cast<double>(shown_.Length()))));
    ScheduleRefresh(0);
}

bool TrendWindow::SaveCsv(const QString& path) {
    return SaveFileOrWarn(
        path,
        [this](QIODevice& device) {
            return WriteCsv(device, recorder_.History(), ChosenVariable(), QLocale::system());
        },
        this);
}

bool TrendWindow::SaveImage(const QString& path) {
    const QImage image = chartView_->grab().toImage();
    return SaveFileOrWarn(
        path, [&image](QIODevice& device) { return WritePng(device, image); }, this);
}

}  // namespace trend
