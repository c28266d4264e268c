#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "output/output_engine.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"

using namespace tavrelia;
using tavrelia::test::ScriptedDialogs;

namespace {

const char* rowBar(int j)
{
    static QByteArray name;
    name = QStringLiteral("ScrollBarCoder%1").arg(j, 2, 10, QLatin1Char('0')).toLatin1();
    return name.constData();
}
const char* rowLabel(int j)
{
    static QByteArray name;
    name = QStringLiteral("Labelcoder%1").arg(j, 2, 10, QLatin1Char('0')).toLatin1();
    return name.constData();
}
QString rowText(int source, int slot)
{
    return QStringLiteral("Канал %1 выводится в канал %2").arg(source).arg(slot);
}

}  // namespace

class DmxCoderPanelTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithEveryRowRoutingItsChannelToItself();
    void movingARowRoutesTheOutputSlot();
    void positionBarShowsLaterEntries();
    void rowsClampWhatTheyCannotShow();
    void stepPresetsSetTheTrackStepAndMayAllBeUp();
    void resetAfterALoadKeepsEntry0();
    void savedTableLoadsBack();
    void cancelledDialogsDoNothing();
    void shortFileIsReportedAndChangesNothing();
    void transitionModeGroup();
};

void DmxCoderPanelTest::startsWithEveryRowRoutingItsChannelToItself()
{
    test::Window w;
    QCOMPARE(w.text("LabelCoderHeading"),
             QStringLiteral("Таблица перекодировок каналов  строки DMX512. на выходе программы"));
    auto* pos = w.bar("ScrollBarCoderPos");
    QCOMPARE(pos->orientation(), Qt::Vertical);
    QCOMPARE(pos->minimum(), 0);
    QCOMPARE(pos->maximum(), 225);
    QCOMPARE(pos->value(), 0);
    QCOMPARE(pos->pageStep(), 20);
    for (int j = 1; j <= 30; ++j) {
        QCOMPARE(w.bar(rowBar(j))->value(), j);
        QCOMPARE(w.bar(rowBar(j))->minimum(), 1);
        QCOMPARE(w.bar(rowBar(j))->maximum(), 255);
        QCOMPARE(w.text(rowLabel(j)), rowText(j, j));
    }
}

void DmxCoderPanelTest::movingARowRoutesTheOutputSlot()
{
    test::Window w;
    for (int c = 1; c <= 255; ++c)
        w.console.image.DataWrite(0, static_cast<uint8_t>(c), c);
    w.bar(rowBar(1))->setValue(3);
    QCOMPARE(w.console.dmx.RecodeTable[1], uint16_t{3});
    QCOMPARE(w.text(rowLabel(1)), rowText(3, 1));
    w.console.output.OutputTick();
    QCOMPARE(int(w.console.dmx.OutputFrame[1]), 3);
    QCOMPARE(std::count(w.console.dmx.OutputFrame.begin(), w.console.dmx.OutputFrame.end(), 1), 0);
}

void DmxCoderPanelTest::positionBarShowsLaterEntries()
{
    test::Window w;
    w.console.dmx.RecodeTable[240] = 17;
    w.bar("ScrollBarCoderPos")->setValue(225);
    for (int j = 1; j <= 30; ++j) {
        const int slot = 225 + j;
        QCOMPARE(w.text(rowLabel(j)), rowText(slot == 240 ? 17 : slot, slot));
    }
    QCOMPARE(w.bar(rowBar(15))->value(), 17);
    // A row moved now edits its own entry of the shown range.
    w.bar(rowBar(30))->setValue(1);
    QCOMPARE(w.console.dmx.RecodeTable[255], uint16_t{1});
    QCOMPARE(w.console.dmx.RecodeTable[30], uint16_t{30});
}

void DmxCoderPanelTest::rowsClampWhatTheyCannotShow()
{
    ScriptedDialogs dialogs;   // the step also loads the colour file, not made here
    test::Window w;
    w.bar(rowBar(4))->setValue(255);   // row 4 stands at 255 already
    struct Case {
        int slot;
        uint16_t stored;
        uint16_t kept;
    };
    const Case cases[] = {
        {2, 0, 1},        // below the bar: becomes 1
        {3, 600, 255},    // above it: becomes 255
        {4, 700, 700},    // the bar stood at 255 already: nothing runs, the entry stays
        {5, 200, 200},
    };
    for (const Case& c : cases)
        w.console.dmx.RecodeTable[c.slot] = c.stored;
    emit w.form.startUpTables();   // the start-up refresh of the page
    for (const Case& c : cases) {
        QCOMPARE(w.console.dmx.RecodeTable[c.slot], c.kept);
        QCOMPARE(w.text(rowLabel(c.slot)), rowText(c.kept, c.slot));
    }
}

void DmxCoderPanelTest::stepPresetsSetTheTrackStepAndMayAllBeUp()
{
    test::Window w;
    auto* three = w.find<QToolButton>("SpeedButtonCoderCh3");
    auto* twelve = w.find<QToolButton>("SpeedButtonCoderCh12");
    QVERIFY(twelve->isChecked());
    for (const char* name : {"SpeedButtonCoderCh4", "SpeedButtonCoderCh6", "SpeedButtonCoderCh8",
                             "SpeedButtonCoderCh16"})
        QVERIFY(!w.find<QToolButton>(name)->isChecked());
    QCOMPARE(w.bar(rowBar(7))->pageStep(), 12);

    three->click();
    QVERIFY(three->isChecked());
    QVERIFY(!twelve->isChecked());
    for (int j = 1; j <= 30; ++j)
        QCOMPARE(w.bar(rowBar(j))->pageStep(), 3);
    // A click in the track of a row moves its source by the step.
    w.bar(rowBar(7))->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(w.console.dmx.RecodeTable[7], uint16_t{10});

    three->click();   // raises it: all up, the step stays
    QVERIFY(!three->isChecked());
    for (QToolButton* b : w.form.findChildren<QToolButton*>(
             QRegularExpression(QStringLiteral("^SpeedButtonCoderCh"))))
        QVERIFY(!b->isChecked());
    QCOMPARE(w.bar(rowBar(7))->pageStep(), 3);
}

void DmxCoderPanelTest::resetAfterALoadKeepsEntry0()
{
    test::Window w;
    w.console.dmx.RecodeTable[0] = 9;
    w.bar(rowBar(2))->setValue(50);
    w.bar("ScrollBarCoderPos")->setValue(100);
    w.bar(rowBar(1))->setValue(7);
    w.click("SpeedButtonResetCoder");
    QCOMPARE(w.console.dmx.RecodeTable[0], uint16_t{9});
    for (int i = 1; i <= 512; ++i)
        QCOMPARE(w.console.dmx.RecodeTable[i], uint16_t(i));
    QCOMPARE(w.bar(rowBar(1))->value(), 101);
    QCOMPARE(w.text(rowLabel(1)), rowText(101, 101));
}

void DmxCoderPanelTest::savedTableLoadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("patch.tvd"));
    ScriptedDialogs dialogs;
    test::Window w;
    w.bar(rowBar(1))->setValue(3);
    w.console.dmx.RecodeTable[0] = 4;
    const auto saved = w.console.dmx.RecodeTable;

    dialogs.fileAnswers.enqueue(path);
    w.click("SpeedButtonSaveCoderTab");
    QCOMPARE(dialogs.kinds(), QList<ScriptedDialogs::Kind>{ScriptedDialogs::Kind::SaveFile});
    const FileDialogRequest request = dialogs.calls[0].request;
    QCOMPARE(request.filter, QStringLiteral("Файлы перекодировки Tavrelia  (*.tvd)|*.tvd"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("tvd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), 512);

    w.click("SpeedButtonResetCoder");
    w.console.dmx.RecodeTable[0] = 0;
    dialogs.fileAnswers.enqueue(path);
    w.click("SpeedButtonOpenCoderTab");
    QCOMPARE(dialogs.calls.last().kind, ScriptedDialogs::Kind::OpenFile);
    QCOMPARE(dialogs.calls.last().request.filter, request.filter);
    QCOMPARE(w.console.dmx.RecodeTable, saved);
    QCOMPARE(w.bar(rowBar(1))->value(), 3);
    QCOMPARE(w.text(rowLabel(1)), rowText(3, 1));
    QVERIFY(dialogs.texts(ScriptedDialogs::Kind::Critical).isEmpty());
}

void DmxCoderPanelTest::cancelledDialogsDoNothing()
{
    ScriptedDialogs dialogs;
    test::Window w;
    w.bar(rowBar(5))->setValue(9);
    const auto before = w.console.dmx.RecodeTable;
    w.click("SpeedButtonOpenCoderTab");
    w.click("SpeedButtonSaveCoderTab");
    QCOMPARE(dialogs.calls.size(), 2);
    QCOMPARE(w.console.dmx.RecodeTable, before);
    QCOMPARE(w.text(rowLabel(5)), rowText(9, 5));
}

void DmxCoderPanelTest::shortFileIsReportedAndChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.tvd"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(384, '\x02'));
    }
    ScriptedDialogs dialogs;
    test::Window w;
    const auto before = w.console.dmx.RecodeTable;
    dialogs.fileAnswers.enqueue(path);
    w.click("SpeedButtonOpenCoderTab");
    QCOMPARE(w.console.dmx.RecodeTable, before);
    const QStringList errors = dialogs.texts(ScriptedDialogs::Kind::Critical);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(path));
}

void DmxCoderPanelTest::transitionModeGroup()
{
    test::Window w;
    auto* group = w.find<QGroupBox>("RadioGroupRate");
    QCOMPARE(group->title(), QStringLiteral("Плавность перехода  сцен "));
    const QList<QRadioButton*> items = group->findChildren<QRadioButton*>();
    QCOMPARE(items.size(), 3);
    const QStringList texts = {QStringLiteral("Фейдера"), QStringLiteral("Автомат"),
                               QStringLiteral("Выкл")};
    for (int i = 0; i < 3; ++i) {
        auto* item = w.find<QRadioButton>(QStringLiteral("RadioGroupRateItem%1").arg(i).toLatin1().constData());
        QCOMPARE(item->text(), texts[i]);
        QCOMPARE(item->isChecked(), i == 0);
    }
    QCOMPARE(w.console.controls.transitionMode, 0);
    for (int i : {2, 1, 0}) {
        w.find<QRadioButton>(QStringLiteral("RadioGroupRateItem%1").arg(i).toLatin1().constData())->click();
        QCOMPARE(w.console.controls.transitionMode, i);
    }
}

TAVRELIA_TEST_MAIN(DmxCoderPanelTest)
#include "dmx_coder_panel_test.moc"
