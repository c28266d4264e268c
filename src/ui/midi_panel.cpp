#include "midi_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "elided_label.h"
#include "output/interface_settings.h"

namespace tavrelia {

MidiPanel::MidiPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("MIDI"), form.inputPage(TBaseForm::InputTab::Opcii)),
      form_(form),
      midi_(form.console().midi)
{
    setObjectName(QStringLiteral("GroupBoxMidi"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    buildControls();
    form.addToRow(TBaseForm::InputTab::Opcii, 0, 1, this);

    connect(&form, &TBaseForm::startUpInterface, this, &MidiPanel::startUp);
    connect(&form, &TBaseForm::closeInterface, &midi_, &MidiLink::stop);
    connect(&midi_, &MidiLink::devicesChanged, this, &MidiPanel::showDevices);
    connect(&midi_, &MidiLink::stored, this, &MidiPanel::stored);
}

void MidiPanel::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    // Tight: the group sits below the OSC group and the tab has no height to spare.
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(2);
    devices_ = new ElidedLabel(this);
    devices_->setObjectName(QStringLiteral("LabelMidiDevices"));
    faults_ = new ElidedLabel(this);
    faults_->setObjectName(QStringLiteral("LabelMidiMapFaults"));
    QPalette red = faults_->palette();
    red.setColor(QPalette::WindowText, QColor(0xb0, 0, 0));
    faults_->setPalette(red);
    faults_->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(devices_, 1);
    top->addWidget(faults_, 1);
    layout->addLayout(top);
    auto* row = new QHBoxLayout;
    control_ = new QComboBox(this);
    control_->setObjectName(QStringLiteral("ComboBoxMidiControl"));
    control_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    control_->setMinimumContentsLength(10);
    control_->setToolTip(QStringLiteral("Элемент пульта для привязки"));
    for (const NamedControls::Info& info : NamedControls::all()) {
        if (!MidiSurface::refusal(info.name))
            control_->addItem(info.name);
    }
    learn_ = new QToolButton(this);
    learn_->setObjectName(QStringLiteral("SpeedButtonMidiLearn"));
    learn_->setText(QStringLiteral("Обучение"));
    learn_->setCheckable(true);
    learn_->setToolTip(QStringLiteral("Выберите элемент, затем двиньте регулятор MIDI пульта"));
    binding_ = new QLabel(this);
    binding_->setObjectName(QStringLiteral("LabelMidiBinding"));
    binding_->setMinimumWidth(binding_->fontMetrics().horizontalAdvance(QStringLiteral("cc14 16 127")));
    row->addWidget(control_);
    row->addWidget(learn_);
    top->addWidget(binding_);
    layout->addLayout(row);

    connect(control_, &QComboBox::currentTextChanged, this, &MidiPanel::showBinding);
    connect(learn_, &QToolButton::toggled, this, &MidiPanel::learnToggled);
    showDevices();
}

void MidiPanel::startUp()
{
    midi_.start();
    faults_->setFullText(QStringLiteral("[MIDI map]: ") + midi_.faults().join(QStringLiteral("; ")));
    faults_->setVisible(!midi_.faults().isEmpty());
    showBinding();
}

void MidiPanel::showDevices()
{
    const QStringList devices = midi_.devices();
    devices_->setFullText(devices.isEmpty() ? QStringLiteral("Нет устройств MIDI")
                                            : devices.join(QStringLiteral(", ")));
    // Why programs of this machine cannot connect, where they cannot.
    const QString sequencer = midi_.sequencer().error();
    if (!sequencer.isEmpty())
        devices_->setToolTip(devices_->toolTip() + u'\n' + sequencer);
}

void MidiPanel::showBinding()
{
    const MidiBinding* binding = midi_.surface().map().find(control_->currentText());
    binding_->setText(binding ? binding->text() : QStringLiteral("-"));
}

void MidiPanel::learnToggled(bool on)
{
    midi_.surface().learn(on ? control_->currentText() : QString());
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void MidiPanel::stored(const QString& name, const QString&, bool written)
{
    control_->setCurrentText(name);
    showBinding();
    if (midi_.surface().learning().isEmpty())
        learn_->setChecked(false);
    if (!written) {
        Dialogs::current().critical(
            this, QStringLiteral("Не удалось записать файл настроек ") + InterfaceSettings::filePath());
    }
}

QString MidiPanel::controlOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QString name = widget->property("control").toString();
        if (!name.isEmpty())
            return name;
    }
    return {};
}

// While learning, a click on a control of the window chooses it.
bool MidiPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        const QString name = controlOf(static_cast<QWidget*>(watched));
        if (!name.isEmpty() && control_->findText(name) >= 0) {
            control_->setCurrentText(name);
            midi_.surface().learn(name);
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace tavrelia
