#include "midi_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"
#include "elided_label.h"
#include "midi/midi_connection.h"

namespace tavrelia {

MidiPanel::MidiPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("MIDI"), form.inputPage(TBaseForm::InputTab::Sinhro)),
      form_(form),
      console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxMidi"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    // The title's box switches it on, as OSC's does.
    setCheckable(true);
    setChecked(false);
    connect(this, &QGroupBox::clicked, this, &MidiPanel::enabledClicked);
    buildControls();
    form.addToRow(TBaseForm::InputTab::Sinhro, 0, 0, this);

    connect(&form, &TBaseForm::startUpInterface, this, &MidiPanel::startUp);
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == MidiConnection::kId)
            showState();
    });
}

MidiLink* MidiPanel::link()
{
    auto* midi = qobject_cast<MidiConnection*>(console_.connections.find(MidiConnection::kId));
    if (!midi || midi->state() != Connection::State::On)
        return nullptr;
    if (!linked_) {
        linked_ = &midi->link();
        connect(linked_, &MidiLink::stored, this, &MidiPanel::stored);
    }
    return linked_;
}

void MidiPanel::enabledClicked(bool on)
{
    // Written, the connections start or stop MIDI.
    if (!console_.store.write(MidiConnection::kGroup, {{QStringLiteral("Enabled"), on ? QStringLiteral("true") : QStringLiteral("false")}}))
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void MidiPanel::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    // Tight: the group sits below the OSC group and the tab has no height to spare.
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(2);
    devices_ = new ElidedLabel(this);
    devices_->setObjectName(QStringLiteral("LabelMidiDevices"));
    faults_ = ElidedLabel::problems("LabelMidiMapFaults", this);

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
    showState();
}

void MidiPanel::showState()
{
    const QSignalBlocker blocker(this);
    MidiLink* midi = link();
    setChecked(midi != nullptr);
    learn_->setEnabled(midi != nullptr);
    if (!midi)
        learn_->setChecked(false);
    // The map's bad lines and the bad values of [MIDI].
    QStringList faults = console_.connections.problems(MidiConnection::kId);
    if (midi && !midi->faults().isEmpty())
        faults.append(QStringLiteral("[MIDI map]: ") + midi->faults().join(QStringLiteral("; ")));
    faults_->setFullText(faults.join(QStringLiteral("; ")));
    faults_->setVisible(!faults.isEmpty());
    showDevices();
    showBinding();
}

void MidiPanel::showDevices()
{
    const MidiLink* midi = link();
    const QStringList devices = midi ? midi->devices() : QStringList();
    devices_->setFullText(devices.isEmpty() ? QStringLiteral("Нет устройств MIDI")
                                            : devices.join(QStringLiteral(", ")));
    // Why programs of this machine cannot connect, where they cannot.
    const QString sequencer = midi ? midi->sequencer().error() : QString();
    if (!sequencer.isEmpty())
        devices_->setToolTip(devices_->toolTip() + u'\n' + sequencer);
}

void MidiPanel::showBinding()
{
    MidiLink* midi = link();
    const MidiBinding* binding = midi ? midi->surface().map().find(control_->currentText()) : nullptr;
    binding_->setText(binding ? binding->text() : QStringLiteral("-"));
}

void MidiPanel::learnToggled(bool on)
{
    MidiLink* midi = link();
    if (!midi)
        return;
    midi->surface().learn(on ? control_->currentText() : QString());
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void MidiPanel::stored(const QString& name, const QString&, bool written)
{
    control_->setCurrentText(name);
    showBinding();
    if (link() && link()->surface().learning().isEmpty())
        learn_->setChecked(false);
    if (!written)
        Dialogs::current().critical(this, QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
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
            if (MidiLink* midi = link())
                midi->surface().learn(name);
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace tavrelia
