#include "usb_state_panel.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "elided_label.h"
#include "output/interface_connection.h"

namespace tavrelia {

namespace {
QLabel* infoLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

constexpr int kMaxUniverseShown = 65535;

// A universe beyond the box's range (set in the file) shows at the box's limit and is
// kept until the box is edited.
int universeShown(uint32_t universe)
{
    return static_cast<int>(std::min<uint32_t>(universe, kMaxUniverseShown));
}
}  // namespace

UsbStatePanel::UsbStatePanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Состояние шины USB "), form.inputPage(TBaseForm::InputTab::Opcii)),
      form_(form), console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxUsb"));
    // The options tab holds other groups as well: take only the height needed.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    buildControls();
    // Beside the other narrow groups: the tab has no height to spare.
    form.addToRow(TBaseForm::InputTab::Opcii, 0, 0, this);

    connect(&form, &TBaseForm::startUpInterface, this, &UsbStatePanel::startUp);
    // A new backend is started by the connections: what it found shows then.
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == InterfaceConnection::kId) {
            showListTexts();
            showProblems();
        }
    });
}

void UsbStatePanel::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    labelKolvoUsb_ = infoLabel("LabelKolvoUSB", this);
    labelTipFtdi_ = infoLabel("LabelTipFtdi", this);
    labelUsbNomber_ = infoLabel("LabelUSBnomber", this);
    layout->addWidget(labelKolvoUsb_);
    layout->addWidget(labelTipFtdi_);
    layout->addWidget(labelUsbNomber_);

    checkBoxNoUsbConnect_ = new QCheckBox(QStringLiteral("Работа в DEMO режиме"), this);
    checkBoxNoUsbConnect_->setObjectName(QStringLiteral("CheckBoxNoUSBconnect"));
    connect(checkBoxNoUsbConnect_, &QCheckBox::toggled, this,
            &UsbStatePanel::CheckBoxNoUSBconnectClick);
    connect(&console_.live, &Controls::demoChanged, checkBoxNoUsbConnect_, &QCheckBox::setChecked);
    // The caption and the status line say what the link does, with the show clock's second.
    connect(&console_.live, &Controls::clockChanged, this, &UsbStatePanel::showLinkState);
    layout->addWidget(checkBoxNoUsbConnect_);

    // Which interface this machine has; kept in the Linux settings file.
    auto* choice = new QFormLayout;
    choice->setContentsMargins(0, 4, 0, 0);
    comboBoxInterface_ = new QComboBox(this);
    comboBoxInterface_->setObjectName(QStringLiteral("ComboBoxInterface"));
    comboBoxInterface_->addItem(QStringLiteral("FTDI через libftdi"), QStringLiteral("ftdi"));
    comboBoxInterface_->addItem(QStringLiteral("Последовательный порт"), QStringLiteral("serial"));
    comboBoxInterface_->addItem(QStringLiteral("OLA (olad)"), QStringLiteral("ola"));
    comboBoxInterface_->setToolTip(QStringLiteral("Как подключен интерфейс DMX"));
    editSerialDevice_ = new QLineEdit(this);
    editSerialDevice_->setObjectName(QStringLiteral("EditSerialDevice"));
    editSerialDevice_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    spinOlaUniverse_ = new QSpinBox(this);
    spinOlaUniverse_->setObjectName(QStringLiteral("SpinEditOlaUniverse"));
    spinOlaUniverse_->setRange(0, kMaxUniverseShown);
    spinOlaUniverse_->setToolTip(QStringLiteral("Вселенная OLA, в которую идет вывод"));
    choice->addRow(QStringLiteral("Интерфейс"), comboBoxInterface_);
    choice->addRow(QStringLiteral("Порт"), editSerialDevice_);
    choice->addRow(QStringLiteral("Вселенная"), spinOlaUniverse_);
    layout->addLayout(choice);
    labelProblems_ = ElidedLabel::problems("LabelInterfaceProblems", this);
    layout->addWidget(labelProblems_);
    showSettings(settings_);

    connect(comboBoxInterface_, &QComboBox::activated, this, &UsbStatePanel::interfaceEdited);
    connect(editSerialDevice_, &QLineEdit::editingFinished, this,
            &UsbStatePanel::interfaceEdited);
    connect(spinOlaUniverse_, &QSpinBox::editingFinished, this, &UsbStatePanel::interfaceEdited);
}

void UsbStatePanel::showSettings(const InterfaceSettings& settings)
{
    comboBoxInterface_->setCurrentIndex(
        comboBoxInterface_->findData(InterfaceSettings::nameOf(settings.backend)));
    editSerialDevice_->setText(settings.serialDevice);
    editSerialDevice_->setEnabled(settings.backend == InterfaceSettings::Backend::Serial);
    const QSignalBlocker blocker(spinOlaUniverse_);
    spinOlaUniverse_->setValue(universeShown(settings.olaUniverse));
    spinOlaUniverse_->setEnabled(settings.backend == InterfaceSettings::Backend::Ola);
}

void UsbStatePanel::showListTexts()
{
    const UsbLink& link = console_.usbLink;
    labelKolvoUsb_->setText(link.UsbDeviceCountText());
    labelTipFtdi_->setText(link.UsbDescriptionText());
    labelUsbNomber_->setText(link.UsbSerialText());
}

void UsbStatePanel::startUp()
{
    settings_ = console_.store.read<InterfaceSettings>();
    showSettings(settings_);
    showListTexts();
    showProblems();
}

void UsbStatePanel::showProblems()
{
    const QStringList problems = console_.connections.problems(InterfaceConnection::kId);
    labelProblems_->setFullText(problems.join(QStringLiteral("; ")));
    labelProblems_->setVisible(!problems.isEmpty());
}

void UsbStatePanel::interfaceEdited()
{
    InterfaceSettings edited = settings_;
    edited.backend = InterfaceSettings::backendNamed(comboBoxInterface_->currentData().toString())
                         .value_or(InterfaceSettings::Backend::Ftdi);
    const QString path = editSerialDevice_->text().trimmed();
    edited.serialDevice = path.isEmpty() ? settings_.serialDevice : path;
    if (spinOlaUniverse_->value() != universeShown(settings_.olaUniverse))
        edited.olaUniverse = static_cast<uint32_t>(spinOlaUniverse_->value());
    showSettings(edited);
    if (edited != settings_)
        applyInterface(edited);
}

void UsbStatePanel::applyInterface(const InterfaceSettings& settings)
{
    settings_ = settings;
    // Written, the connections start the new backend.
    if (!settings_.save(console_.store))
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void UsbStatePanel::CheckBoxNoUSBconnectClick(bool checked)
{
    console_.live.setDemo(checked);
}

void UsbStatePanel::showLinkState()
{
    const UsbLink::Display display = console_.usbLink.linkDisplay(console_.controls.demo);
    form_.setCaptionPrefix(display.captionPrefix);
    form_.statusPanel0()->setText(display.statusPanel);
}

}  // namespace tavrelia
