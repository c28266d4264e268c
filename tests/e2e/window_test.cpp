// The real window, output thread, link and serial driver in one process, steered
// through the window's controls, with the packets read off a pseudo-terminal.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "base_form.h"
#include "console.h"
#include "output/interface_settings.h"
#include "../ui/scripted_dialogs.h"
#include "../ui/test_environment.h"
#include "dmx_wire.h"

using namespace tavrelia;
using namespace std::chrono_literals;
using wire::Packet;

namespace {

void clickCheckBox(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

}  // namespace

class WindowWireTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void blackOutSendsZeros();
    void movedRecodingRowRoutesTheSlot();
    void demoWritesNothingWhileTheFeedFollows();
    void unplugIsShownAndTheNewTerminalTakenUp();

private:
    template <typename T>
    T* find(const char* name)
    {
        return tavrelia::test::child<T>(*form, QString::fromLatin1(name));
    }
    void setLevel(int channel, uint8_t level)
    {
        auto guard = console->lock();
        console->image.DataWrite(0, static_cast<uint8_t>(channel), level);
        console->image[ShowImage::rateAddress(channel)] = 255;
    }
    // The frame of the first packet that satisfies `wanted`, within `timeout`, while
    // the window's timers keep running.
    std::vector<uint8_t> frameWhere(const std::function<bool(const std::vector<uint8_t>&)>& wanted,
                                    std::chrono::milliseconds timeout = 3000ms)
    {
        const auto deadline = wire::Clock::now() + timeout;
        size_t seen = 0;
        while (wire::Clock::now() < deadline) {
            QTest::qWait(20);
            const auto packets = reader->packets();
            for (; seen < packets.size(); ++seen) {
                if (wanted(packets[seen].frame))
                    return packets[seen].frame;
            }
        }
        return {};
    }

    // What the wire and the link looked like, for a failure message.
    QByteArray state()
    {
        const auto packets = reader->packets();
        const UsbLink& link = console->usbLink;
        return QStringLiteral("%1 bytes, %2 packets, last slot 3 = %3; open %4, ready %5, '%6'")
            .arg(reader->byteCount())
            .arg(packets.size())
            .arg(packets.empty() ? -1 : packets.back().frame[3])
            .arg(link.DeviceOpen.load())
            .arg(link.LinkReady.load())
            .arg(link.LinkStatusText())
            .toUtf8();
    }

    std::unique_ptr<wire::Pty> pty;
    std::unique_ptr<wire::DevicePath> device;
    std::unique_ptr<wire::PacketReader> reader;
    std::unique_ptr<Console> console;
    std::unique_ptr<TBaseForm> form;
    std::unique_ptr<test::ScriptedDialogs> dialogs;   // cancels the save at close
};

void WindowWireTest::init()
{
    pty = std::make_unique<wire::Pty>();
    device = std::make_unique<wire::DevicePath>(
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("dmx").toStdString());
    device->pointAt(*pty);
    reader = std::make_unique<wire::PacketReader>(*pty);
    tavrelia::InterfaceSettings serial;
    serial.backend = tavrelia::InterfaceSettings::Backend::Serial;
    serial.serialDevice = QString::fromStdString(device->path().string());
    tavrelia::SettingsStore store;
    QVERIFY(serial.save(store));

    dialogs.reset();   // a failed init skips cleanup: the old one must go first
    dialogs = std::make_unique<test::ScriptedDialogs>();
    console = std::make_unique<Console>();
    form = std::make_unique<TBaseForm>(*console);
    form->FormCreate();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    setLevel(3, 120);
    QVERIFY2(!frameWhere([](const auto& f) { return f[3] == 120; }).empty(), state());
}

void WindowWireTest::cleanup()
{
    form->close();
    form.reset();
    console.reset();
    reader.reset();
    device.reset();
    pty.reset();
    dialogs.reset();
}

void WindowWireTest::blackOutSendsZeros()
{
    form->pageControlUst()->setCurrentWidget(form->ustPage(TBaseForm::UstTab::Urovni));
    auto* blackOut = find<QCheckBox>("CheckBoxBlackOut");
    clickCheckBox(blackOut);
    QVERIFY(blackOut->isChecked());
    const auto dark = frameWhere([](const auto& f) { return f[3] == 0; });
    QCOMPARE(dark, std::vector<uint8_t>(513, 0));
    clickCheckBox(blackOut);
    QVERIFY2(!frameWhere([](const auto& f) { return f[3] == 120; }).empty(), state());
}

void WindowWireTest::movedRecodingRowRoutesTheSlot()
{
    setLevel(1, 50);
    QVERIFY2(!frameWhere([](const auto& f) { return f[1] == 50; }).empty(), state());
    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::DmxCoder));
    find<QScrollBar>("ScrollBarCoder01")->setValue(3);
    const auto routed = frameWhere([](const auto& f) { return f[1] == 120; });
    QVERIFY(!routed.empty());
    QCOMPARE(routed[3], uint8_t{120});   // slot 3 still carries channel 3
    QVERIFY(std::find(routed.begin(), routed.end(), 50) == routed.end());   // channel 1: nowhere
}

void WindowWireTest::demoWritesNothingWhileTheFeedFollows()
{
    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::Opcii));
    clickCheckBox(find<QCheckBox>("CheckBoxNoUSBconnect"));
    QTest::qWait(200);   // a packet already on its way may still arrive
    const size_t before = reader->byteCount();
    setLevel(1, 77);   // device 19's intensity is slot 1
    QTRY_COMPARE_WITH_TIMEOUT(
        [&] {
            auto guard = console->lock();
            return console->deviceFeed.DevIntensity[19];
        }(),
        uint8_t{77}, 2000);
    QTest::qWait(300);
    QCOMPARE(reader->byteCount(), before);

    clickCheckBox(find<QCheckBox>("CheckBoxNoUSBconnect"));
    QVERIFY2(!frameWhere([](const auto& f) { return f[1] == 77; }).empty(), state());
}

void WindowWireTest::unplugIsShownAndTheNewTerminalTakenUp()
{
    // Pulled just after a polling run, so the next tick's write is what finds it gone
    // (a polling run that finds it first closes the link without a text).
    QSignalSpy polled(console->usbLink.timerPolling(), &QTimer::timeout);
    QVERIFY(polled.wait(2000));
    reader->unplug();
    const QString lost = QStringLiteral("Интерфейс отключен от компьютера  - Ошибка ввода-вывода...");
    // The write fails at once; the polling and the display follow within a second each.
    QTRY_COMPARE_WITH_TIMEOUT(form->statusPanel0()->text(), lost, 3000);
    QCOMPARE(form->captionPrefix(), QStringLiteral(" DEMO MODE: "));

    reader.reset();
    pty = std::make_unique<wire::Pty>();
    reader = std::make_unique<wire::PacketReader>(*pty);
    device->pointAt(*pty);
    const auto plugged = wire::Clock::now();
    QVERIFY2(!frameWhere([](const auto& f) { return f[3] == 120; }, 2500ms).empty(), state());
    QVERIFY(reader->packets().front().at - plugged < 2500ms);
    QTRY_COMPARE_WITH_TIMEOUT(form->captionPrefix(), QStringLiteral("Tavrelia v3.4 "), 1500);
}

TAVRELIA_TEST_MAIN(WindowWireTest)

#include "window_test.moc"
