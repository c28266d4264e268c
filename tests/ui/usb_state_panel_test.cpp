#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "../e2e/dmx_wire.h"
#include "base_form.h"
#include "console.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "usb_state_panel.h"

using namespace tavrelia;

namespace {

void clickCheckBox(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

using test::confPath;
using test::readConf;
using test::writeConf;

}  // namespace

class UsbStatePanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsOnTheOptionsTab();
    void startUpAndCloseSequencesRunTheLink();
    void startUpTakesTheBackendFromTheSettingsFile();
    void demoBoxWritesTheControlState();
    void linkStateDisplay();
    void displayRunsOnceASecond();
    void choosingTheInterfaceSavesAndReinitialises();
    void choosingOlaKeepsItsUniverseAndPort();
    void failedSettingsSaveIsReported();
    void fitsTheWindow();

private:
    template <typename T>
    T* find(const char* name)
    {
        return tavrelia::test::child<T>(*form, QString::fromLatin1(name));
    }
    UsbStatePanel* panel() { return find<UsbStatePanel>("GroupBoxUsb"); }

    std::unique_ptr<wire::Pty> pty;
    std::unique_ptr<wire::DevicePath> device;
    std::unique_ptr<Console> console;
    std::unique_ptr<TBaseForm> form;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
};

void UsbStatePanelTest::init()
{
    QFile::remove(confPath());
    pty = std::make_unique<wire::Pty>();
    device = std::make_unique<wire::DevicePath>(
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("dmx").toStdString());
    device->pointAt(*pty);
    dialogs.reset();   // a failed init skips cleanup: the old one must go first
    dialogs = std::make_unique<test::ScriptedDialogs>();
    console = std::make_unique<Console>();
    form = std::make_unique<TBaseForm>(*console);
}

void UsbStatePanelTest::cleanup()
{
    console->connections.stopAll();
    form.reset();
    console.reset();
    device.reset();
    pty.reset();
    dialogs.reset();
}

void UsbStatePanelTest::controlsOnTheOptionsTab()
{
    auto* group = panel();
    QCOMPARE(group->title(), QStringLiteral("Состояние шины USB "));
    QCOMPARE(group->parentWidget(), form->inputPage(TBaseForm::InputTab::Opcii));
    auto* tabs = form->pageControlInput();
    QCOMPARE(tabs->tabText(tabs->indexOf(group->parentWidget())), QStringLiteral("Опции"));
    auto* demo = find<QCheckBox>("CheckBoxNoUSBconnect");
    QCOMPARE(demo->text(), QStringLiteral("Работа в DEMO режиме"));
    QVERIFY(!demo->isChecked());
    for (const char* name : {"LabelKolvoUSB", "LabelTipFtdi", "LabelUSBnomber"})
        QCOMPARE(find<QLabel>(name)->parentWidget(), group);
}

void UsbStatePanelTest::startUpAndCloseSequencesRunTheLink()
{
    writeConf(QStringLiteral("[Interface]\nBackend=serial\nSerialDevice=%1\n")
                  .arg(QString::fromStdString(device->path().string())));
    form->FormCreate();
    QCOMPARE(find<QLabel>("LabelKolvoUSB")->text(), QStringLiteral("Устройств на шине USB = 1"));
    QVERIFY(console->usbLink.timerPolling()->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(console->usbLink.DeviceOpen, 2500);
    form->close();   // the save dialog is cancelled by the script
    QVERIFY(!console->usbLink.DeviceOpen);
    QVERIFY(!console->usbLink.timerPolling()->isActive());
}

void UsbStatePanelTest::startUpTakesTheBackendFromTheSettingsFile()
{
    writeConf(QStringLiteral("[Interface]\nBackend=serial\nSerialDevice=%1\n")
                  .arg(QString::fromStdString(device->path().string())));
    panel()->startUp();
    const QString path = QString::fromStdString(device->path().string());
    QCOMPARE(find<QComboBox>("ComboBoxInterface")->currentData().toString(), QStringLiteral("serial"));
    QCOMPARE(find<QLineEdit>("EditSerialDevice")->text(), path);
    QVERIFY(find<QLineEdit>("EditSerialDevice")->isEnabled());
    QCOMPARE(find<QLabel>("LabelKolvoUSB")->text(), QStringLiteral("Устройств на шине USB = 1"));
    QCOMPARE(find<QLabel>("LabelTipFtdi")->text(), path);
    QCOMPARE(find<QLabel>("LabelUSBnomber")->text(), QStringLiteral("серийный номер = "));
    QVERIFY(console->usbLink.timerPolling()->isActive());
}

void UsbStatePanelTest::demoBoxWritesTheControlState()
{
    auto* demo = find<QCheckBox>("CheckBoxNoUSBconnect");
    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::Opcii));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    clickCheckBox(demo);
    QVERIFY(demo->isChecked());
    QVERIFY(console->controls.demo);
    clickCheckBox(demo);
    QVERIFY(!console->controls.demo);
}

void UsbStatePanelTest::linkStateDisplay()
{
    writeConf(QStringLiteral("[Interface]\nBackend=serial\nSerialDevice=%1\n")
                  .arg(QString::fromStdString(device->path().string())));
    panel()->startUp();
    QCOMPARE(form->captionPrefix(), QStringLiteral(" Initalization "));
    struct Step {
        bool demo, open;
        QString prefix, status;
    } steps[] = {
        {false, false, " DEMO MODE: ", ""},
        {true, false, "DEMO mode: ", "    DEMO MODE "},
        {true, true, "DEMO mode: ", "    DEMO MODE "},
        {false, true, "Tavrelia v3.4 ", ""},
    };
    for (const Step& s : steps) {
        find<QCheckBox>("CheckBoxNoUSBconnect")->setChecked(s.demo);
        if (s.open)
            console->usbLink.TimerPollingTimer();
        panel()->showLinkState();
        QCOMPARE(form->captionPrefix(), s.prefix);
        QCOMPARE(form->statusPanel0()->text(), s.status);
    }
    // Pulled out while sending: the write's failure is what the status panel shows.
    pty->unplug();
    const uint8_t packet[] = {0xFF, 0xF0};
    console->usbLink.writePacket(packet, sizeof packet);
    console->usbLink.TimerPollingTimer();
    panel()->showLinkState();
    QCOMPARE(form->captionPrefix(), QStringLiteral(" DEMO MODE: "));
    QCOMPARE(form->statusPanel0()->text(),
             QStringLiteral("Интерфейс отключен от компьютера  - Ошибка ввода-вывода..."));
}

void UsbStatePanelTest::displayRunsOnceASecond()
{
    // The show clock runs it.
    panel()->startUp();
    auto* timer = find<QTimer>("TimerShouClock");
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(form->captionPrefix(), QStringLiteral(" DEMO MODE: "), 2500);
    console->connections.stopAll();
    QVERIFY(!console->usbLink.timerPolling()->isActive());
}

void UsbStatePanelTest::choosingTheInterfaceSavesAndReinitialises()
{
    panel()->startUp();   // no settings file: ftdi
    auto* combo = find<QComboBox>("ComboBoxInterface");
    auto* edit = find<QLineEdit>("EditSerialDevice");
    QCOMPARE(combo->currentData().toString(), QStringLiteral("ftdi"));
    QVERIFY(!edit->isEnabled());

    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::Opcii));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QVERIFY(edit->isEnabled());
    QVERIFY(readConf().contains("Backend=serial"));

    const QString path = QString::fromStdString(device->path().string());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, path);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(readConf().contains("SerialDevice=" + path));
    QCOMPARE(find<QLabel>("LabelKolvoUSB")->text(), QStringLiteral("Устройств на шине USB = 1"));
    QCOMPARE(find<QLabel>("LabelTipFtdi")->text(), path);
    console->usbLink.TimerPollingTimer();
    QVERIFY(console->usbLink.readyForPacket(false));

    combo->setCurrentIndex(0);
    emit combo->activated(0);
    QVERIFY(readConf().contains("Backend=ftdi"));
    QVERIFY(!console->usbLink.DeviceOpen);   // the terminal was closed with its driver
    QVERIFY(dialogs->calls.isEmpty());
}

void UsbStatePanelTest::choosingOlaKeepsItsUniverseAndPort()
{
    // Nothing listens on the port: the daemon's universe is an empty bus.
    writeConf(QStringLiteral("[Interface]\nBackend=serial\nOlaPort=1\nOlaUniverse=70000\n"));
    panel()->startUp();
    auto* combo = find<QComboBox>("ComboBoxInterface");
    auto* universe = find<QSpinBox>("SpinEditOlaUniverse");
    QVERIFY(!universe->isEnabled());
    QCOMPARE(universe->value(), 65535);   // beyond the box: shown at its limit

    combo->setCurrentIndex(combo->findData(QStringLiteral("ola")));
    emit combo->activated(combo->currentIndex());
    QVERIFY(universe->isEnabled());
    QVERIFY(!find<QLineEdit>("EditSerialDevice")->isEnabled());
    QString conf = readConf();
    QVERIFY2(conf.contains("Backend=ola"), qPrintable(conf));
    QVERIFY2(conf.contains("OlaUniverse=70000"), qPrintable(conf));   // kept until edited
    QVERIFY2(conf.contains("OlaPort=1\n"), qPrintable(conf));
    QCOMPARE(find<QLabel>("LabelKolvoUSB")->text(), QStringLiteral("Нет USB устройствa "));

    universe->setValue(7);
    emit universe->editingFinished();
    conf = readConf();
    QVERIFY2(conf.contains("OlaUniverse=7\n"), qPrintable(conf));
    QCOMPARE(SettingsStore().read<InterfaceSettings>().olaUniverse, 7u);
    QVERIFY(dialogs->calls.isEmpty());
}

void UsbStatePanelTest::failedSettingsSaveIsReported()
{
    panel()->startUp();
    const QString folder = QFileInfo(confPath()).path();
    QDir(folder).removeRecursively();
    QFile blocker(folder);   // a file where the settings folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto* combo = find<QComboBox>("ComboBoxInterface");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    const QStringList errors = dialogs->texts(test::ScriptedDialogs::Kind::Critical);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().contains("Tavrelia.conf"));
    QFile::remove(folder);
}

void UsbStatePanelTest::fitsTheWindow()
{
    writeConf(QStringLiteral("[Interface]\nBackend=serial\nSerialDevice=%1\n")
                  .arg(QString::fromStdString(device->path().string())));
    panel()->startUp();
    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::Opcii));
    form->resize(TBaseForm::kWidth, TBaseForm::kHeight);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    for (QLabel* label : panel()->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
    }
    QCOMPARE(find<QCheckBox>("CheckBoxNoUSBconnect")->width() >=
                 find<QCheckBox>("CheckBoxNoUSBconnect")->sizeHint().width(),
             true);
    const QString shot = qEnvironmentVariable("TAVRELIA_SCREENSHOT");
    if (!shot.isEmpty())
        form->grab().save(shot);
}

TAVRELIA_TEST_MAIN(UsbStatePanelTest)

#include "usb_state_panel_test.moc"
