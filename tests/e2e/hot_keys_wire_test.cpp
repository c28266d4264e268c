// Hot keys and automats as they arrive on the wire: the real window, its output
// thread and the serial backend on a pseudo-terminal, in one process, with real key
// events sent to the window.

#include <QCheckBox>
#include <QTabWidget>

#include <algorithm>
#include <memory>
#include <numeric>

#include "test_environment.h"
#include "wire_window.h"

using namespace std::chrono_literals;
using tavrelia::ShowImage;
using tavrelia::TBaseForm;
using tavrelia::wire::Packet;

namespace {

// The real window on a fresh pseudo-terminal, started as the program starts it.
struct WiredWindow {
    WiredWindow()
    {
        if (!tavrelia::test::WireWindow::chooseSerial(pty))
            qFatal("settings not saved");
        window = std::make_unique<tavrelia::test::Window>();
        form().FormCreate();
        form().show();
        if (!QTest::qWaitForWindowActive(&form()))
            qFatal("window not active");
        // The link opens from the window's own polling timer.
        if (until([](const auto&) { return true; }, 5000ms).empty())
            qFatal("no packets");
    }
    ~WiredWindow() { form().close(); }

    TBaseForm& form() { return window->form; }
    tavrelia::Console& console() { return window->console; }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyPress(form().windowHandle(), key, modifiers);
    }
    void release(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyRelease(form().windowHandle(), key, modifiers);
    }
    void tap(Qt::Key key)
    {
        press(key);
        release(key);
    }
    // Packets arriving from now on, until one satisfies `wanted`; the window's
    // timers keep running meanwhile. Empty on time-out.
    std::vector<Packet> until(const std::function<bool(const std::vector<uint8_t>&)>& wanted,
                              std::chrono::milliseconds timeout = 3000ms)
    {
        const size_t from = reader.packets().size();
        const auto deadline = tavrelia::wire::Clock::now() + timeout;
        while (tavrelia::wire::Clock::now() < deadline) {
            QTest::qWait(10);
            const auto packets = reader.packets();
            for (size_t i = from; i < packets.size(); ++i) {
                if (wanted(packets[i].frame))
                    return {packets.begin() + from, packets.begin() + i + 1};
            }
        }
        return {};
    }
    std::vector<Packet> during(std::chrono::milliseconds time)
    {
        const size_t from = reader.packets().size();
        QTest::qWait(int(time.count()));
        const auto packets = reader.packets();
        return {packets.begin() + from, packets.end()};
    }

    tavrelia::wire::Pty pty;
    tavrelia::wire::PacketReader reader{pty};
    tavrelia::test::ScriptedDialogs dialogs;   // the close sequence's save is cancelled
    std::unique_ptr<tavrelia::test::Window> window;
};

bool all(const std::vector<Packet>& packets, const std::function<bool(const std::vector<uint8_t>&)>& test)
{
    return !packets.empty()
        && std::all_of(packets.begin(), packets.end(), [&](const Packet& p) { return test(p.frame); });
}

// The four automat channels of a frame as B (bright) and D (dark).
QString lit(const std::vector<uint8_t>& frame, int first, uint8_t bright)
{
    QString pattern;
    for (int c = first; c < first + 4; ++c)
        pattern += frame[c] == bright ? QChar(u'B') : QChar(u'D');
    return pattern;
}

}  // namespace

class HotKeysWireTest : public QObject {
    Q_OBJECT
private slots:
    void picturesHeldAndLatchedOverAPlayingShow();
    void playStopAndBlackOutKeys();
    void automatFollowsItsEffectsStepByStepAtItsPeriod();
};

void HotKeysWireTest::picturesHeldAndLatchedOverAPlayingShow()
{
    WiredWindow w;
    {
        auto guard = w.console().lock();
        ShowImage& image = w.console().image;
        image[ShowImage::kLastScene] = 1;
        image[ShowImage::kSceneTempo] = 10;   // 100 ms a scene
        for (int s : {0, 1}) {
            image.DataWrite(s, 10, 50);
            image.DataWrite(s, 11, s == 0 ? 30 : 60);
        }
        // Picture 3 (k = 2): channel 10 at 200, channel 12 at 90.
        image[ShowImage::pictureFlagAddress(2, 10)] = 1;
        image[ShowImage::pictureLevelAddress(2, 10)] = 200;
        image[ShowImage::pictureFlagAddress(2, 12)] = 1;
        image[ShowImage::pictureLevelAddress(2, 12)] = 90;
        image[ShowImage::pictureLevelAddress(2, 13)] = 70;   // no member: never shown
    }
    w.form().ReturnPageControlAll();
    w.tap(Qt::Key_Equal);
    QVERIFY(!w.until([](const auto& f) { return f[11] == 60; }).empty());
    QVERIFY(!w.until([](const auto& f) { return f[11] == 30; }).empty());

    const auto picture = [](const auto& f) { return f[10] == 200 && f[12] == 90 && f[13] == 0; };
    const auto show = [](const auto& f) { return f[10] == 50 && f[12] == 0; };
    w.press(Qt::Key_3);
    QVERIFY(!w.until(picture).empty());
    // Held: the picture stays over the show, which goes on playing underneath.
    const auto held = w.during(400ms);
    QVERIFY(all(held, picture));
    QVERIFY(std::any_of(held.begin(), held.end(), [](const Packet& p) { return p.frame[11] == 30; }));
    QVERIFY(std::any_of(held.begin(), held.end(), [](const Packet& p) { return p.frame[11] == 60; }));
    w.release(Qt::Key_3);
    QVERIFY(!w.until(show).empty());
    QVERIFY(all(w.during(200ms), show));

    // Ctrl pressed while the key is held latches it past both releases.
    w.press(Qt::Key_3);
    w.press(Qt::Key_Control, Qt::ControlModifier);
    w.release(Qt::Key_3, Qt::ControlModifier);
    w.release(Qt::Key_Control);
    QVERIFY(!w.until(picture).empty());
    QVERIFY(all(w.during(400ms), picture));
    w.tap(Qt::Key_3);
    QVERIFY(!w.until(show).empty());
    QVERIFY(all(w.during(200ms), show));
    QCOMPARE(w.reader.garbage(), size_t{0});
}

void HotKeysWireTest::playStopAndBlackOutKeys()
{
    WiredWindow w;
    {
        auto guard = w.console().lock();
        ShowImage& image = w.console().image;
        image[ShowImage::kLastScene] = 2;
        image[ShowImage::kSceneTempo] = 10;
        for (int s = 0; s <= 2; ++s)
            image.DataWrite(s, 5, 100 + s);
    }
    w.form().ReturnPageControlAll();
    QVERIFY(!w.until([](const auto& f) { return f[5] == 100; }).empty());
    QVERIFY(all(w.during(300ms), [](const auto& f) { return f[5] == 100; }));

    w.tap(Qt::Key_Equal);
    QVERIFY(!w.until([](const auto& f) { return f[5] == 102; }).empty());
    QVERIFY(!w.until([](const auto& f) { return f[5] == 100; }).empty());

    w.tap(Qt::Key_Minus);
    QTest::qWait(150);   // a period already begun may still move it once
    const auto stopped = w.during(400ms);
    QVERIFY(!stopped.empty());
    const uint8_t standing = stopped.front().frame[5];
    QVERIFY(all(stopped, [standing](const auto& f) { return f[5] == standing; }));

    // The digit 0 blacks everything out and stops the show; again, and it is back.
    w.tap(Qt::Key_Equal);
    w.tap(Qt::Key_0);
    QVERIFY(!w.until([](const auto& f) { return std::all_of(f.begin(), f.end(), [](uint8_t b) { return b == 0; }); }).empty());
    QVERIFY(!w.console().play.PlayFlag);
    w.tap(Qt::Key_0);
    QVERIFY(!w.until([](const auto& f) { return f[5] != 0; }).empty());
    // Back from black the levels fade in at their rates: a change frame between ticks
    // may show a step of it. Then they stand.
    const auto faded = w.during(150ms);
    QVERIFY(!faded.empty());
    const uint8_t level = faded.back().frame[5];
    QVERIFY(all(w.during(400ms), [level](const auto& f) { return f[5] == level; }));
    QCOMPARE(w.reader.garbage(), size_t{0});
}

void HotKeysWireTest::automatFollowsItsEffectsStepByStepAtItsPeriod()
{
    WiredWindow w;
    TBaseForm& form = w.form();
    form.pageControlInput()->setCurrentWidget(form.inputPage(TBaseForm::InputTab::Avtomaty));
    const auto bar = [&](const char* name) { return form.findChild<QScrollBar*>(QLatin1String(name)); };
    bar("ScrollBarTempAvtomat1")->setValue(20);         // 400 ms a step
    bar("ScrollBarChannelAvtomat1")->setValue(20);      // channels 21..24
    bar("ScrollBarBrightAvtomat1")->setValue(55);       // 200
    bar("ScrollBarDarkAvtomat1")->setValue(245);        // 10
    QCOMPARE(w.console().automats.avtomat1.period(), 400);

    struct Effect {
        const char* button;
        QStringList cycle;
    };
    const Effect effects[] = {
        {"SpeedButtonAvto1Mode1", {"BDDD", "DBDD", "DDBD", "DDDB"}},
        {"SpeedButtonAvto1Mode4",
         {"BDDD", "BBDD", "BBBD", "BBBB", "DBBB", "DDBB", "DDDB", "DDDD"}},
    };
    form.findChild<QCheckBox*>(QStringLiteral("CheckBoxAvtomat1"))->setChecked(true);
    for (const Effect& effect : effects) {
        form.findChild<QAbstractButton*>(QLatin1String(effect.button))->click();
        QTest::qWait(500);   // the next step runs the new effect
        const auto packets = w.during(4000ms);
        // The steps as they arrived: each pattern held until the next one.
        QStringList steps;
        std::vector<tavrelia::wire::Clock::time_point> changes;
        for (const Packet& packet : packets) {
            QVERIFY(std::all_of(packet.frame.begin() + 21, packet.frame.begin() + 25,
                                [](uint8_t v) { return v == 200 || v == 10; }));
            const QString pattern = lit(packet.frame, 21, 200);
            if (steps.isEmpty() || steps.back() != pattern) {
                steps << pattern;
                changes.push_back(packet.at);
            }
            QCOMPARE(packet.frame[20], uint8_t{0});
            QCOMPARE(packet.frame[25], uint8_t{0});
        }
        QVERIFY2(steps.size() >= 9, qPrintable(steps.join(u' ')));
        // Each change is the effect's next step: none skipped, none repeated.
        for (int i = 1; i < steps.size(); ++i) {
            const qsizetype at = effect.cycle.indexOf(steps[i - 1]);
            QVERIFY2(at >= 0 && effect.cycle[(at + 1) % effect.cycle.size()] == steps[i],
                     qPrintable(steps.join(u' ')));
        }
        // At the speed's period: the mean over the whole changes, each on a 50 ms tick.
        const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(changes.back() - changes[1]);
        const double mean = double(span.count()) / double(changes.size() - 2);
        QVERIFY2(mean > 370 && mean < 430, qPrintable(QString::number(mean)));
    }
    QCOMPARE(w.reader.garbage(), size_t{0});
}

TAVRELIA_TEST_MAIN(HotKeysWireTest)
#include "hot_keys_wire_test.moc"
