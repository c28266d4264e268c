// The main window's discipline towards the output: no refresh restarts the show's
// beat, no widget is touched while the console lock is held, and the wheel belongs
// to the window wherever the pointer is.

#include <QAbstractSlider>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QWheelEvent>

#include <thread>

#include "window_fixture.h"

using tavrelia::Console;
using tavrelia::test::Window;

namespace {

// True when another thread can take the console lock, as the output tick would.
bool lockFree(Console& console)
{
    bool free = false;
    std::thread([&] {
        if (console.mutex().try_lock()) {
            free = true;
            console.mutex().unlock();
        }
    }).join();
    return free;
}

void wheel(QWidget* over, int delta)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
}

}  // namespace

class WindowDisciplineTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Window> w;
    QTimer& period() { return w->console.sequencer.timer(); }
    QTabWidget* inputTabs() { return w->find<QTabWidget>("PageControlInput"); }
    QScrollBar* pageBar() { return w->bar("ScrolbarVertPos"); }

    // Everything an operator does to the window while a show plays.
    void operate()
    {
        w->click("SpeedButtonPlay");
        for (int page = 1; page <= 40; page += 13)
            pageBar()->setValue(page);
        wheel(w->bar("ScrollBar3"), 120);
        for (int tab = inputTabs()->count() - 1; tab >= 0; --tab)
            inputTabs()->setCurrentIndex(tab);
        w->click("SpeedButtonMem1");
        w->click("SpeedButtonUndo1");
        w->form.ReturnPageControlAll();
        QTest::mouseDClick(w->find<QToolButton>("SpeedButtonPlay"), Qt::LeftButton);
        w->console.sequencer.TimerSeqveserTimer();
        w->click("SpeedButtonStop");
        w->find<QCheckBox>("CheckBoxManual")->setChecked(true);
        pageBar()->setValue(0);
    }

private slots:
    void init() { w = std::make_unique<Window>(); }
    void cleanup() { w.reset(); }

    void onlyANewTempoRestartsTheRunningPeriod()
    {
        QCOMPARE(period().timerType(), Qt::PreciseTimer);
        QVERIFY(period().isActive());
        QTest::qSleep(300);   // no events: the period runs on undisturbed
        const int left = period().remainingTime();
        QVERIFY2(left <= 1936 - 250, qPrintable(QString::number(left)));

        operate();
        QVERIFY2(period().remainingTime() <= left,
                 qPrintable(QStringLiteral("restarted: %1 ms left").arg(period().remainingTime())));

        w->bar("ScrollBarTemp")->setValue(45);
        QCOMPARE(period().interval(), 2025);
        QVERIFY(period().remainingTime() > 1936);
    }

    void noWidgetChangesWhileTheLockIsHeld()
    {
        QStringList heldBy;
        auto probe = [&](QObject* sender) {
            if (!lockFree(w->console))
                heldBy << sender->objectName();
        };
        for (auto* slider : w->form.findChildren<QAbstractSlider*>())
            connect(slider, &QAbstractSlider::valueChanged, this, [=] { probe(slider); });
        for (auto* button : w->form.findChildren<QAbstractButton*>())
            connect(button, &QAbstractButton::toggled, this, [=] { probe(button); });
        for (auto* edit : w->form.findChildren<QLineEdit*>())
            connect(edit, &QLineEdit::textChanged, this, [=] { probe(edit); });
        for (auto* tabs : w->form.findChildren<QTabWidget*>())
            connect(tabs, &QTabWidget::currentChanged, this, [=] { probe(tabs); });

        w->console.image.DataWrite(0, 30, 200);
        w->console.image.DataWrite(1, 31, 100);
        w->console.image[tavrelia::ShowImage::selectAddress(28)] = 1;
        operate();
        w->click("SpeedButtonNewScena");
        w->form.ClearAll();
        QVERIFY2(heldBy.isEmpty(), qPrintable(heldBy.join(QLatin1Char(' '))));
    }

    void wheelActsWhereverThePointerIsAndStaysUnhandled()
    {
        inputTabs()->setCurrentIndex(0);
        // Over a control of another group: the desk pages, and the control under the
        // pointer still takes its own turn of the wheel.
        QScrollBar* preset = w->bar("ScrollBarScenHand");
        const int presetBefore = preset->value();
        wheel(preset, 120);
        QCOMPARE(pageBar()->value(), 1);
        QVERIFY(preset->value() != presetBefore);

        wheel(w->find<QLabel>("LabelTemp"), -120);
        QCOMPARE(pageBar()->value(), 0);
        // The desk's own bars never take the wheel: a level must not change because
        // the page moved a new channel under the pointer.
        w->console.image.DataWrite(0, 2, 50);
        w->form.ReturnPageControlAll();
        wheel(w->bar("ScrollBar1"), 300);
        QCOMPARE(pageBar()->value(), 228);
        wheel(w->bar("ScrollBarRate01"), -300);
        QCOMPARE(pageBar()->value(), 0);
        QCOMPARE(int(w->console.image.DataRead(0, 1)), 0);
        QCOMPARE(int(w->console.image.DataRead(0, 2)), 50);
        QCOMPARE(w->bar("ScrollBar2")->value(), 50);
    }
};

TAVRELIA_TEST_MAIN(WindowDisciplineTest)
#include "window_discipline_test.moc"
