#include "scripted_dialogs.h"
#include "window_fixture.h"

using namespace tavrelia;

// The output tick runs from step 6 of the start-up to step 3 of the close sequence.
class OutputStartTest : public QObject {
    Q_OBJECT
private slots:
    void tickRunsFromStartUpToClose()
    {
        test::ScriptedDialogs dialogs;   // the close sequence's save dialog: cancelled
        test::Window w;
        const auto frameSlot1 = [&w] {
            auto g = w.console.lock();
            return int(w.console.dmx.OutputFrame[1]);
        };
        w.form.FormCreate();
        {
            auto g = w.console.lock();
            w.console.image.DataWrite(0, 1, 200);
        }
        QTRY_COMPARE(frameSlot1(), 200);
        w.form.close();
        {
            auto g = w.console.lock();
            w.console.image.DataWrite(0, 1, 90);
        }
        QTest::qWait(200);
        QCOMPARE(frameSlot1(), 200);
    }
};

TAVRELIA_TEST_MAIN(OutputStartTest)
#include "output_start_test.moc"
