#include "app/port_tab.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "serial/platform/device_path.h"
#include "serial/ser_comm.h"
#include "serial/ser_error.h"
#include "ui/application_error.h"
#include "ui/message_boxes.h"
#include "ui/named.h"

namespace {

const QStringList kPortNames{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                             QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"),
                             QStringLiteral("COM7"), QStringLiteral("COM8"), QStringLiteral("COM9"),
                             QStringLiteral("COM10")};

// "СОМ" in these texts is written with Cyrillic letters; "COM1" at the start is Latin.
const QString kStartUpWarning = QStringLiteral(
    "Порт COM1 уже используется! Выберите свободный \u0421\u041E\u041C-порт (вкладка \"Настройка "
    "\u0421\u041E\u041C-порта\") или закройте приложение, использующее порт \u0421\u041E\u041C1.");

QComboBox* NewList(const char* name, const QStringList& items, int selected, bool enabled,
                   QWidget* parent) {
    auto* list = NewNamed<QComboBox>(name, parent);
    list->addItems(items);
    list->setCurrentIndex(selected);
    list->setEnabled(enabled);
    return list;
}

}  // namespace

PortTab::PortTab(ser::TSerCustomComm& port, std::function<void()> onOpened, QWidget* parent)
    : QWidget(parent),
      GroupBox8(NewNamed<QGroupBox>("GroupBox8", QStringLiteral("Настройка порта"), this)),
      Label15(NewNamed<QLabel>("Label15", QStringLiteral("\u0421\u041E\u041C-порт"), GroupBox8)),
      ComboBox7(NewList("ComboBox7", kPortNames, 0, true, GroupBox8)),
      DevicePathLabel(NewNamed<QLabel>("DevicePathLabel", QString(), GroupBox8)),
      Label7(NewNamed<QLabel>("Label7", QStringLiteral("Скорость обмена (бит/с)"), GroupBox8)),
      ComboBox3(NewList("ComboBox3",
                        {QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("1200"),
                         QStringLiteral("2400"), QStringLiteral("9600"), QStringLiteral("14400"),
                         QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("56000"),
                         QStringLiteral("57600"), QStringLiteral("115200"),
                         QStringLiteral("128000"), QStringLiteral("256000")},
                        4, false, GroupBox8)),
      Label8(NewNamed<QLabel>("Label8", QStringLiteral("Количество бит"), GroupBox8)),
      ComboBox4(NewList("ComboBox4",
                        {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                         QStringLiteral("7"), QStringLiteral("8")},
                        4, false, GroupBox8)),
      Label9(NewNamed<QLabel>("Label9", QStringLiteral("Четность"), GroupBox8)),
      ComboBox5(
          NewList("ComboBox5",
                  {QStringLiteral("нет"), QStringLiteral("четная"), QStringLiteral("нечетная"),
                   QStringLiteral("маркер (1)"), QStringLiteral("пробел (0)")},
                  0, false, GroupBox8)),
      Label10(NewNamed<QLabel>("Label10", QStringLiteral("Кол-во стоп-бит"), GroupBox8)),
      ComboBox6(NewList("ComboBox6",
                        {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, 0, false,
                        GroupBox8)),
      Button14(NewNamed<QPushButton>("Button14", QStringLiteral("Включение порта"), GroupBox8)),
      Button15(NewNamed<QPushButton>("Button15", QStringLiteral("Отключение порта"), GroupBox8)),
      Label16(NewNamed<QLabel>("Label16", GroupBox8)),
      SerComm1(port),
      onOpened_(std::move(onOpened)) {
    QFont statusFont = Label16->font();
    statusFont.setPixelSize(16);
    Label16->setFont(statusFont);
    // Until the opening at start-up has run, the tab shows the port open.
    ShowOpenState();

    auto* grid = new QGridLayout(GroupBox8);
    const std::array<std::pair<QLabel*, QComboBox*>, 5> rows{{{Label15, ComboBox7},
                                                              {Label7, ComboBox3},
                                                              {Label8, ComboBox4},
                                                              {Label9, ComboBox5},
                                                              {Label10, ComboBox6}}};
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        grid->addWidget(rows[row].first, row, 0);
        grid->addWidget(rows[row].second, row, 1);
    }
    grid->addWidget(DevicePathLabel, 0, 2);
    grid->addWidget(Button14, 5, 0);
    grid->addWidget(Button15, 5, 1);
    grid->addWidget(Label16, 6, 0, 1, 3);

    auto* page = new QVBoxLayout(this);
    page->addWidget(GroupBox8);
    page->addStretch();

    connect(ComboBox7, &QComboBox::currentIndexChanged, this, [this] { ShowDevicePath(); });
    connect(Button14, &QPushButton::clicked, this,
            [this] { Guarded([this] { Button14Click(); }); });
    connect(Button15, &QPushButton::clicked, this,
            [this] { Guarded([this] { Button15Click(); }); });
    ShowDevicePath();
}

void PortTab::ApplyLineSettings() {
    // The port is closed here, so the component only stores them for the opening.
    SerComm1.SetBaudrate(ser::br9600);
    SerComm1.SetDatabits(ser::db8);
    SerComm1.SetParity(ser::paNone);
    SerComm1.SetStopbits(ser::sb1);
}

void PortTab::OpenDevice() {
    SerComm1.Open();
    try {
        SerComm1.SetDTR(true);
        SerComm1.SetRTS(false);
        SerComm1.PurgeRead();
        onOpened_();
    } catch (...) {
        // A port whose lines could not be set is not fit to key a modem: it is closed again,
        // so that what the tab shows is what the port is.
        SerComm1.Close();
        throw;
    }
    ShowOpenState();
}

void PortTab::OpenComPort(const std::string& deviceName) {
    ApplyLineSettings();
    SerComm1.SetDeviceName(deviceName);
    OpenDevice();
}

void PortTab::OpenAtStartUp() {
    try {
        OpenComPort("COM1");
    } catch (const ser::ESerCommNoDevice&) {
        ShowWarning(kStartUpWarning, window());
        Beep();
        ShowClosedState();
    } catch (const std::exception&) {
        // COM1 was there and free, but refused a setting: telling the operator that another
        // program holds it would send them looking for one.
        ReportFailure(QStringLiteral("Ошибка инициализации порта"));
    }
}

void PortTab::Button14Click() {
    try {
        ApplyLineSettings();
        const int index = ComboBox7->currentIndex();
        if (index >= 0 && index < kPortNames.size()) {
            SerComm1.SetDeviceName(kPortNames[index].toStdString());
        }
        OpenDevice();
    } catch (const std::exception&) {
        ReportFailure(QStringLiteral("Ошибка инициализации порта"));
    }
}

void PortTab::Button15Click() {
    try {
        SerComm1.Close();
        ShowClosedState();
    } catch (const std::exception&) {
        ReportFailure(QStringLiteral("Ошибка зактрытия порта"));
    }
}

void PortTab::ReportFailure(const QString& message) {
    ShowPortState();
    ShowMessage(message, window());
    Beep();
}

void PortTab::ShowPortState() {
    SerComm1.Active() ? ShowOpenState() : ShowClosedState();
}

void PortTab::ShowOpenState() {
    Label16->setText(QStringLiteral("Порт включен"));
    SetLabelColour(Qt::red);
    Button14->setEnabled(false);
    Button15->setEnabled(true);
}

void PortTab::ShowClosedState() {
    Label16->setText(QStringLiteral("Порт выключен"));
    SetLabelColour(Qt::black);
    Button14->setEnabled(true);
    Button15->setEnabled(false);
}

void PortTab::SetLabelColour(const QColor& colour) {
    QPalette palette = Label16->palette();
    palette.setColor(QPalette::WindowText, colour);
    Label16->setPalette(palette);
}

void PortTab::ShowDevicePath() {
    const QString name = ComboBox7->currentText();
    DevicePathLabel->setText(
        name.isEmpty() ? QString()
                       : QString::fromStdString(ser::platform::DevicePath(name.toStdString())));
}
