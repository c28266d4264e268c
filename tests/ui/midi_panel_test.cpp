#include <QComboBox>
#include <QFile>

#include "midi/midi_connection.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"

using tavrelia::test::Window;

class MidiPanelTest : public QObject {
    Q_OBJECT
private slots:
    // Learning: a click on a fader of the window chooses it, the surface's controller
    // moved binds it, and the binding is in the file and drives the fader.
    void clickAndMoveBindsAndStores()
    {
        tavrelia::test::ScriptedDialogs dialogs;   // the close sequence's save dialog is cancelled
        tavrelia::test::writeConf(QStringLiteral("[MIDI]\nEnabled=true\n"));
        Window w;
        w.form.FormCreate();
        auto* midi = qobject_cast<tavrelia::MidiConnection*>(w.console.connections.find(QStringLiteral("midi")));
        QVERIFY(midi);
        auto* learn = w.find<QToolButton>("SpeedButtonMidiLearn");
        learn->click();
        QVERIFY(learn->isChecked());
        QTest::mouseClick(w.find("ScrollBar5"), Qt::LeftButton);
        QCOMPARE(w.find<QComboBox>("ComboBoxMidiControl")->currentText(), QStringLiteral("fader/5"));
        tavrelia::MidiSurface& surface = midi->link().surface();
        surface.input(QStringLiteral("pad"), QByteArray("\xB3\x50\x00", 3));
        QCOMPARE(w.text("LabelMidiBinding"), QStringLiteral("cc 4 80"));
        QVERIFY(!learn->isChecked());
        QFile conf(tavrelia::test::confPath());
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(conf.readAll().contains("[MIDI map]\nfader/5=cc 4 80\n"));
        surface.input(QStringLiteral("pad"), QByteArray("\xB3\x50\x7F", 3));
        QCOMPARE(w.console.live.fader(5), 255);
        // Whole in the window, beside the binding.
        w.form.pageControlInput()->setCurrentWidget(w.form.inputPage(tavrelia::TBaseForm::InputTab::Sinhro));
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        const QString shot = qEnvironmentVariable("TAVRELIA_SHOT_DIR");
        if (!shot.isEmpty())
            w.form.grab().save(shot + QStringLiteral("/midi-options-tab.png"));
        // The sequencer's port where there is one; where not, the hint says why.
        const tavrelia::SequencerPort& sequencer = midi->link().sequencer();
        QCOMPARE(w.find<QLabel>("LabelMidiDevices")->toolTip(),
                 sequencer.isOpen() ? sequencer.address()
                                    : QStringLiteral("Нет устройств MIDI\n") + sequencer.error());
        w.form.close();
    }
};

TAVRELIA_TEST_MAIN(MidiPanelTest)
#include "midi_panel_test.moc"
