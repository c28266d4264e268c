// The phone remote in a real browser: Debian's chromium, headless, as a phone, against
// the real window with its output thread and the serial backend on a pseudo-terminal,
// in one process. What a finger does on the page is read on the wire and in the
// window; what the window does is read on the page.

#include <QCheckBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QTcpServer>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "dev_tools.h"
#include "remote/remote_settings.h"
#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::TBaseForm;
using tavrelia::test::DevTools;
using tavrelia::wire::Packet;

namespace {

const QString kPin = QStringLiteral("8024");
constexpr int kScenes = 4;
constexpr int kSceneChannel = 1;     // scene s has 10 * (s + 1) here
constexpr int kPictureChannel = 20;  // picture 5 puts 99 here
constexpr int kPictureLevel = 99;

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Selectors of the page.
QString control(const QString& name)
{
    return QStringLiteral("[data-control=\"%1\"]").arg(name);
}

}  // namespace

class RemoteBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void thePinIsRefusedThenAccepted();
    void playOnThePageAdvancesTheScenesOnTheWire();
    void tapsOnThePageSetTheScenePeriod();
    void aHeldPictureShowsOnTheWireUntilTheFingerLifts();
    void aFaderOnThePageMovesTheWireAndTheWindowsStrip();
    void aChangeInTheWindowShowsOnThePage();
    void twoPagesStayInSync();
    void aLostConnectionShowsAtOnceAndMendsItself();

private:
    // Packets arriving from now on until one satisfies wanted; the window's timers
    // and the server run meanwhile. Empty on time-out.
    std::vector<Packet> until(const std::function<bool(const std::vector<uint8_t>&)>& wanted,
                              std::chrono::milliseconds timeout = 3000ms);
    tavrelia::Console& console() { return window_->console; }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    bool online(const QString& page) { return devTools_.waitFor(page, QStringLiteral("!document.body.classList.contains('offline')")); }
    QString shown(const QString& page, const QString& state)
    {
        return devTools_.evaluate(page, QStringLiteral("document.querySelector('output[data-state=\"%1\"], [data-state=\"%1\"]').dataset.value").arg(state)).toString();
    }
    void shoot(const QString& page, const QString& name);

    tavrelia::wire::Pty pty_;
    std::unique_ptr<tavrelia::wire::PacketReader> reader_;
    tavrelia::test::ScriptedDialogs dialogs_;
    std::unique_ptr<tavrelia::test::Window> window_;
    DevTools devTools_;
    quint16 port_ = 0;
    QString page_;
};

std::vector<Packet> RemoteBrowserTest::until(const std::function<bool(const std::vector<uint8_t>&)>& wanted,
                                             std::chrono::milliseconds timeout)
{
    const size_t from = reader_->packets().size();
    const auto deadline = tavrelia::wire::Clock::now() + timeout;
    while (tavrelia::wire::Clock::now() < deadline) {
        DevTools::spin(5);
        const auto packets = reader_->packets();
        for (size_t i = from; i < packets.size(); ++i) {
            if (wanted(packets[i].frame))
                return {packets.begin() + from, packets.begin() + i + 1};
        }
    }
    return {};
}

// What the page looks like, when TAVRELIA_SHOT_DIR names a folder: what a phone
// shows first, and the whole page.
void RemoteBrowserTest::shoot(const QString& page, const QString& name)
{
    const QString folder = qEnvironmentVariable("TAVRELIA_SHOT_DIR");
    if (folder.isEmpty())
        return;
    QVERIFY(devTools_.screenshot(page, QDir(folder).filePath(name + QStringLiteral(".png"))));
    QVERIFY(devTools_.screenshot(page, QDir(folder).filePath(name + QStringLiteral("-whole.png")), true));
}

void RemoteBrowserTest::initTestCase()
{
    QVERIFY(tavrelia::test::WireWindow::chooseSerial(pty_));
    reader_ = std::make_unique<tavrelia::wire::PacketReader>(pty_);
    tavrelia::RemoteSettings remote;
    remote.enabled = true;
    remote.address = QStringLiteral("127.0.0.1");
    remote.port = port_ = freePort();
    tavrelia::SettingsStore store;
    QVERIFY(remote.save(store));
    QVERIFY(store.write(QStringLiteral("Remote"), {{QStringLiteral("Pin"), kPin}}));

    window_ = std::make_unique<tavrelia::test::Window>();
    window_->form.FormCreate();
    window_->form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_->form));
    {
        auto guard = console().lock();
        ShowImage& image = console().image;
        image[ShowImage::kLastScene] = kScenes - 1;
        image[ShowImage::kSceneTempo] = 14;   // 196 ms a scene
        for (int s = 0; s < kScenes; ++s)
            image.DataWrite(s, kSceneChannel, 10 * (s + 1));
        for (int channel = 1; channel <= 30; ++channel)
            image[ShowImage::rateAddress(channel)] = 255;
        image[ShowImage::pictureFlagAddress(4, kPictureChannel)] = 1;
        image[ShowImage::pictureLevelAddress(4, kPictureChannel)] = kPictureLevel;
    }
    window_->form.ReturnPageControlAll();
    console().live.setMode(tavrelia::OutputEngine::Vykl);   // scenes jump: each shows whole
    QVERIFY(!until([](const auto& f) { return f[kSceneChannel] == 10; }, 5000ms).empty());

    const QString folder = qEnvironmentVariable("TAVRELIA_SHOT_DIR");
    if (!folder.isEmpty()) {
        window_->form.pageControlInput()->setCurrentWidget(window_->form.inputPage(TBaseForm::InputTab::Opcii));
        QTest::qWait(200);
        QVERIFY(window_->form.grab().save(QDir(folder).filePath(QStringLiteral("remote-window-options.png"))));
    }

    QString error;
    QVERIFY2(devTools_.start(&error), qPrintable(error));
    page_ = devTools_.openPage(url());
}

void RemoteBrowserTest::cleanupTestCase()
{
    window_->form.close();
    window_.reset();
}

void RemoteBrowserTest::thePinIsRefusedThenAccepted()
{
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("!!document.querySelector('input[name=pin]')")));
    shoot(page_, QStringLiteral("remote-pin-phone"));
    const QString submit = QStringLiteral("document.querySelector('input[name=pin]').value = '%1';"
                                          " document.querySelector('form').submit(); true");
    devTools_.evaluate(page_, submit.arg(QStringLiteral("1111")));
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.readyState === 'complete' &&"
                                                    " document.body.textContent.includes('Неверный PIN')")));
    QVERIFY(devTools_.evaluate(page_, QStringLiteral("!!document.querySelector('input[name=pin]')")).toBool());
    DevTools::spin(1100);   // the wait after a wrong try
    devTools_.evaluate(page_, submit.arg(kPin));
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("!!document.querySelector('[data-control=\"play\"]')")));
    QVERIFY(online(page_));
    QCOMPARE(shown(page_, QStringLiteral("scene")), QStringLiteral("1"));
    shoot(page_, QStringLiteral("remote-phone"));
}

void RemoteBrowserTest::playOnThePageAdvancesTheScenesOnTheWire()
{
    devTools_.tap(page_, control(QStringLiteral("play")));
    for (int level : {20, 30, 40, 10})
        QVERIFY2(!until([level](const auto& f) { return f[kSceneChannel] == level; }).empty(), qPrintable(QString::number(level)));
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"play\"]').dataset.value === '1'")));
    devTools_.tap(page_, control(QStringLiteral("stop")));
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"play\"]').dataset.value === '0'")));
    QTRY_VERIFY(!console().live.playing());
}

// Tap counts when the finger lands: four taps 400 ms apart make a 400 ms scene.
void RemoteBrowserTest::tapsOnThePageSetTheScenePeriod()
{
    for (int tap = 0; tap < 4; ++tap) {
        if (tap > 0)
            QTest::qWait(400);
        devTools_.tap(page_, control(QStringLiteral("tap")));
    }
    QTRY_VERIFY2(std::abs(console().live.period() - 400) <= 60, qPrintable(QString::number(console().live.period())));
}

void RemoteBrowserTest::aHeldPictureShowsOnTheWireUntilTheFingerLifts()
{
    const QPointF at = devTools_.centreOf(page_, control(QStringLiteral("picture/5")));
    devTools_.touch(page_, QStringLiteral("touchStart"), at);
    QVERIFY(!until([](const auto& f) { return f[kPictureChannel] == kPictureLevel; }).empty());
    // Held: it stays for as long as the finger does.
    const auto held = until([](const auto& f) { return f[kPictureChannel] != kPictureLevel; }, 600ms);
    QVERIFY(held.empty());
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"picture/5\"]').dataset.value === '1'")));
    devTools_.touch(page_, QStringLiteral("touchEnd"));
    QVERIFY(!until([](const auto& f) { return f[kPictureChannel] == 0; }).empty());
    QVERIFY(until([](const auto& f) { return f[kPictureChannel] != 0; }, 400ms).empty());
}

void RemoteBrowserTest::aFaderOnThePageMovesTheWireAndTheWindowsStrip()
{
    // Strip 3 is channel 3 on the first page; the show stands, so its scene takes the level.
    const QString fader = control(QStringLiteral("fader/3"));
    const QPointF at = devTools_.centreOf(page_, fader);
    devTools_.touch(page_, QStringLiteral("touchStart"), at);
    for (int step = 1; step <= 10; ++step)
        devTools_.touch(page_, QStringLiteral("touchMove"), at + QPointF(step * 30.0, 0));
    devTools_.touch(page_, QStringLiteral("touchEnd"));
    QVERIFY(!until([](const auto& f) { return f[3] == 255; }).empty());
    auto* strip = window_->find<QScrollBar>("ScrollBar3");
    QTRY_COMPARE(strip->value(), 255);
    QCOMPARE(shown(page_, QStringLiteral("fader/3")), QStringLiteral("255"));
}

void RemoteBrowserTest::aChangeInTheWindowShowsOnThePage()
{
    auto* strip = window_->find<QScrollBar>("ScrollBar2");
    strip->setValue(123);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('output[data-state=\"fader/2\"]').textContent === '123'")));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(devTools_.evaluate(page_, QStringLiteral("document.querySelector('input[data-state=\"fader/2\"]').value")).toString() == QStringLiteral("123"));
    QVERIFY(!until([](const auto& f) { return f[2] == 123; }).empty());

    window_->find<QCheckBox>("CheckBoxBlackOut")->click();
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"blackout\"]').dataset.value === '1'")));
    window_->find<QCheckBox>("CheckBoxBlackOut")->click();
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"blackout\"]').dataset.value === '0'")));
}

void RemoteBrowserTest::twoPagesStayInSync()
{
    // The same browser: the session cookie is there, no PIN asked.
    const QString second = devTools_.openPage(url(), 1024, 600, false);
    QVERIFY(online(second));
    shoot(second, QStringLiteral("remote-tablet"));
    const int next = shown(second, QStringLiteral("scene")).toInt() % kScenes + 1;
    devTools_.tap(page_, control(QStringLiteral("next")));
    QVERIFY(devTools_.waitFor(second, QStringLiteral("document.querySelector('[data-state=\"scene\"]').textContent === '%1'").arg(next)));
    QVERIFY(!until([next](const auto& f) { return f[kSceneChannel] == 10 * next; }).empty());
    devTools_.tap(page_, control(QStringLiteral("picture/5/latch")));
    QVERIFY(devTools_.waitFor(second, QStringLiteral("document.querySelector('[data-control=\"picture/5\"]').dataset.value === '1'")));
    QVERIFY(!until([](const auto& f) { return f[kPictureChannel] == kPictureLevel; }).empty());
    devTools_.evaluate(second, QStringLiteral("document.querySelector('[data-control=\"picture/5/latch\"]').click(); true"));
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.querySelector('[data-control=\"picture/5\"]').dataset.value === '0'")));
    QVERIFY(!until([](const auto& f) { return f[kPictureChannel] == 0; }).empty());
}

void RemoteBrowserTest::aLostConnectionShowsAtOnceAndMendsItself()
{
    auto* enabled = window_->find<QCheckBox>("CheckBoxRemote");
    QVERIFY(enabled->isChecked());
    enabled->click();   // off: the server is gone
    QElapsedTimer clock;
    clock.start();
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("document.body.classList.contains('offline')"), 1000));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(devTools_.evaluate(page_, QStringLiteral("getComputedStyle(document.getElementById('connection')).display !== 'none'")).toBool());
    enabled->click();   // on again: the page finds it by itself
    QVERIFY(devTools_.waitFor(page_, QStringLiteral("!document.body.classList.contains('offline')"), 10000));
    const int next = shown(page_, QStringLiteral("scene")).toInt() % kScenes + 1;
    devTools_.tap(page_, control(QStringLiteral("next")));
    QVERIFY(!until([next](const auto& f) { return f[kSceneChannel] == 10 * next; }).empty());
}

TAVRELIA_TEST_MAIN(RemoteBrowserTest)
#include "remote_browser_test.moc"
