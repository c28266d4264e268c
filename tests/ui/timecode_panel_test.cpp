#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "base_form.h"
#include "console.h"
#include "elided_label.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "timecode_panel.h"

using namespace tavrelia;

class TimecodePanelTest : public QObject {
    Q_OBJECT
private slots:
    void sourceRecordAndTheTable();

private:
    template <typename T>
    T* find(const char* name)
    {
        return test::child<T>(*form, QString::fromLatin1(name));
    }
    QString file() const
    {
        QFile f(console->timecode.list().path());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    std::unique_ptr<test::ScriptedDialogs> dialogs = std::make_unique<test::ScriptedDialogs>();
    std::unique_ptr<Console> console = std::make_unique<Console>();
    std::unique_ptr<TBaseForm> form = std::make_unique<TBaseForm>(*console);
};

// The source chosen is written to Tavrelia.conf; with the time running, recording
// makes a row of a scene change, in the show's .tc file; the table edits it, refuses
// a bad time, moves it by a frame and takes that back.
void TimecodePanelTest::sourceRecordAndTheTable()
{
    auto* group = find<TimecodePanel>("GroupBoxTimecode");
    QCOMPARE(form->pageControlInput()->tabText(form->pageControlInput()->indexOf(group->parentWidget())),
             QStringLiteral("Синхро"));
    console->connections.startAll();
    auto* source = find<QComboBox>("ComboBoxTimecodeSource");
    source->setCurrentIndex(1);
    emit source->activated(1);
    QVERIFY2(test::readConf().contains("[Timecode]\nSource=mtc"), qPrintable(test::readConf()));
    QVERIFY(find<ElidedLabel>("LabelTimecodeProblems")->fullText().contains("MIDI is off"));

    QTemporaryDir dir;
    QVERIFY(console->showFiles.SaveFileAs(dir.filePath("rock.tvl")).done());
    QCOMPARE(console->timecode.list().path(), dir.filePath("rock.tc"));
    console->timecode.heard(TimecodeTime{0, 0, 10, 0}.frameCount(TimecodeRate::Fps25) * 4, TimecodeRate::Fps25, 1,
                            Timecode::Clock::now());
    QCOMPARE(find<QLabel>("LabelTimecodeTime")->text(), QStringLiteral("00:00:10:00"));
    QCOMPARE(find<QLabel>("LabelTimecodeRate")->text(), QStringLiteral("25"));
    QCOMPARE(find<QLabel>("LabelTimecodeState")->text(), QStringLiteral("идёт"));
    find<QCheckBox>("CheckBoxTimecodeRecord")->setChecked(true);
    console->live.go(1);
    QCOMPARE(file(), QStringLiteral("00:00:10:00 go 1\n"));

    find<QToolButton>("SpeedButtonTimecodeList")->click();
    auto* table = find<QTableWidget>("TableTimecode");
    QCOMPARE(table->rowCount(), 1);
    table->item(0, 0)->setText(QStringLiteral("99:00:05:00"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("00:00:10:00"));
    QVERIFY(find<QLabel>("LabelTimecodeListNote")->text().contains("not a time"));
    table->item(0, 0)->setText(QStringLiteral("00:00:05:00"));
    table->setCurrentCell(0, 0);
    find<QPushButton>("ButtonTimecodeLater")->click();
    QCOMPARE(file(), QStringLiteral("00:00:05:01 go 1\n"));
    find<QPushButton>("ButtonTimecodeUndo")->click();
    QCOMPARE(file(), QStringLiteral("00:00:05:00 go 1\n"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("00:00:05:00"));
}

TAVRELIA_TEST_MAIN(TimecodePanelTest)

#include "timecode_panel_test.moc"
