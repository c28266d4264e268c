// The device placement group on the options tab, offscreen: what each control writes
// into the device tables, and the 3D window it opens (here without GL).

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "scripted_dialogs.h"
#include "stage_view.h"
#include "view_3d_form.h"
#include "window_fixture.h"

using namespace tavrelia;
using tavrelia::test::Window;

class DevicePlacementPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAndTheirStart();
    void withoutRecordOnlyTheCaptionsMove();
    void recordedPlacementAndTheSlotBar();
    void aFixedAxisCarriesToTheNextSlot();
    void barsShowThePlacementLoadedAtStartUp();
    void viewerWithoutGlSaysSo();
    void fitsTheOptionsTab();

private:
    QCheckBox* box(const char* name) { return w->find<QCheckBox>(name); }
    DeviceTables tables()
    {
        auto guard = w->console.lock();
        return w->console.deviceFeed.snapshot();
    }
    void record(bool on) { box("CheckBoxEnableRecord")->setChecked(on); }

    std::unique_ptr<Window> w;
};

void DevicePlacementPanelTest::init()
{
    w = std::make_unique<Window>();
}

void DevicePlacementPanelTest::cleanup()
{
    w.reset();
}

void DevicePlacementPanelTest::controlsAndTheirStart()
{
    auto* group = w->find<QGroupBox>("GroupBoxDevices");
    QCOMPARE(group->title(), QStringLiteral("Позиционирование приборов "));
    QVERIFY(w->form.inputPage(TBaseForm::InputTab::Opcii)->isAncestorOf(group));

    struct Bar {
        const char* name;
        Qt::Orientation orientation;
        int min, max, value;
        const char* hint;
    };
    const Bar bars[] = {
        {"ScrollBarNomberDev", Qt::Horizontal, 1, 32, 1, "Номер прибора "},
        {"ScrollBarXdev", Qt::Horizontal, 20, 235, 127, "Позиция по X"},
        {"ScrollBarYdev", Qt::Vertical, 20, 235, 120, "Позиция по Y"},
        {"ScrollBarZdev", Qt::Vertical, 0, 255, 127, "Позиция по Z"},
        {"ScrollBarRotatx", Qt::Horizontal, 0, 255, 127, ""},
        {"ScrollBaRotaty", Qt::Horizontal, 0, 255, 127, ""},
        {"ScrollBarWide", Qt::Horizontal, 0, 255, 127, ""},
    };
    for (const Bar& b : bars) {
        QScrollBar* bar = w->bar(b.name);
        QCOMPARE(bar->orientation(), b.orientation);
        QCOMPARE(bar->minimum(), b.min);
        QCOMPARE(bar->maximum(), b.max);
        QCOMPARE(bar->value(), b.value);
        QCOMPARE(bar->toolTip(), QString::fromUtf8(b.hint));
    }
    QCOMPARE(w->text("LabelNomberPosDevice"), QStringLiteral("Device: 1"));
    QCOMPARE(box("CheckBoxFixX")->text(), QStringLiteral("<Fix X 127"));
    QCOMPARE(box("CheckBoxFixY")->text(), QStringLiteral("<Fix Y 135"));
    QCOMPARE(box("CheckBoxFixZ")->text(), QStringLiteral("<Fix Z 127"));
    QCOMPARE(box("CheckBoxEnableRecord")->text(), QStringLiteral("Enable Record"));
    QVERIFY(!box("CheckBoxEnableRecord")->isChecked());
    const char* buttons[] = {"SpeedButtonDev3D", "SpeedButtonscan", "SpeedButtonpar", "SpeedButtonDevoff",
                             "SpeedButton3Don"};
    const QString captions[] = {"HEAD", "SCAN", "PAR", "OFF", "показать 3D (demo version) "};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(w->find<QToolButton>(buttons[i])->text(), captions[i]);
}

void DevicePlacementPanelTest::withoutRecordOnlyTheCaptionsMove()
{
    w->bar("ScrollBarXdev")->setValue(200);
    w->bar("ScrollBarYdev")->setValue(200);
    w->bar("ScrollBarZdev")->setValue(3);
    w->click("SpeedButtonscan");
    QCOMPARE(box("CheckBoxFixX")->text(), QStringLiteral("<Fix X 200"));
    QCOMPARE(box("CheckBoxFixY")->text(), QStringLiteral("<Fix Y 55"));
    QCOMPARE(box("CheckBoxFixZ")->text(), QStringLiteral("<Fix Z 3"));
    const DeviceTables t = tables();
    QCOMPARE(int(t.DevX[1]), 0);
    QCOMPARE(int(t.DevY[1]), 0);
    QCOMPARE(int(t.DevType[1]), 0);
}

void DevicePlacementPanelTest::recordedPlacementAndTheSlotBar()
{
    record(true);
    w->bar("ScrollBarNomberDev")->setValue(5);
    QCOMPARE(w->text("LabelNomberPosDevice"), QStringLiteral("Device: 5"));
    w->bar("ScrollBarXdev")->setValue(60);
    w->bar("ScrollBarYdev")->setValue(40);
    w->bar("ScrollBarZdev")->setValue(10);
    w->click("SpeedButtonpar");
    w->bar("ScrollBarRotatx")->setValue(172);
    w->bar("ScrollBaRotaty")->setValue(100);
    w->bar("ScrollBarWide")->setValue(255);
    DeviceTables t = tables();
    QCOMPARE(int(t.DevType[5]), 3);
    QCOMPARE(int(t.DevX[5]), 60);
    QCOMPARE(int(t.DevY[5]), 215);
    QCOMPARE(int(t.DevZ[5]), 10);
    QCOMPARE(int(t.DevPan[5]), 172);
    QCOMPARE(int(t.DevTilt[5]), 100);
    QCOMPARE(int(t.DevWidth[5]), 255);

    // A head ignores the PAR bars.
    w->bar("ScrollBarNomberDev")->setValue(6);
    w->click("SpeedButtonDev3D");
    w->bar("ScrollBarRotatx")->setValue(10);
    QCOMPARE(int(tables().DevPan[6]), 0);

    // Back on slot 5 the axis bars show where it stands.
    w->bar("ScrollBarNomberDev")->setValue(5);
    QCOMPARE(w->bar("ScrollBarXdev")->value(), 60);
    QCOMPARE(w->bar("ScrollBarYdev")->value(), 40);
    QCOMPARE(w->bar("ScrollBarZdev")->value(), 10);
    w->click("SpeedButtonDevoff");
    QCOMPARE(int(tables().DevType[5]), 0);
}

void DevicePlacementPanelTest::aFixedAxisCarriesToTheNextSlot()
{
    record(true);
    w->bar("ScrollBarNomberDev")->setValue(2);
    w->bar("ScrollBarXdev")->setValue(90);
    w->bar("ScrollBarYdev")->setValue(50);
    box("CheckBoxFixX")->setChecked(true);
    w->bar("ScrollBarNomberDev")->setValue(3);
    QCOMPARE(w->bar("ScrollBarXdev")->value(), 90);     // kept
    QCOMPARE(w->bar("ScrollBarYdev")->value(), 235);    // slot 3's stored 0, clamped
    w->bar("ScrollBarXdev")->setValue(91);
    QCOMPARE(int(tables().DevX[3]), 91);
    QCOMPARE(int(tables().DevX[2]), 90);
}

// On a display without GL (offscreen is one) the window opens with a text, and the
// same window comes back on the next click.
void DevicePlacementPanelTest::barsShowThePlacementLoadedAtStartUp()
{
    record(true);
    w->bar("ScrollBarXdev")->setValue(60);
    w->bar("ScrollBarYdev")->setValue(40);
    QVERIFY(w->console.folder.create(nullptr));
    QVERIFY(w->console.colorFile.SaveColorEdit(w->console.folder.colorFile()).done());
    test::ScriptedDialogs dialogs;   // the close sequence's save dialog is cancelled
    w = std::make_unique<Window>();
    w->form.FormCreate();
    QCOMPARE(int(tables().DevX[1]), 60);
    QCOMPARE(w->bar("ScrollBarXdev")->value(), 60);
    QCOMPARE(w->bar("ScrollBarYdev")->value(), 40);
    w->form.close();
}

void DevicePlacementPanelTest::viewerWithoutGlSaysSo()
{
    QVERIFY(!StageView::available());
    w->click("SpeedButton3Don");
    auto* viewer = w->find<Tform3Dtavr>("Tform3Dtavr");
    QVERIFY(viewer->isVisible());
    QVERIFY(!viewer->view());
    QVERIFY(!w->find<QLabel>("LabelNoOpenGL")->text().isEmpty());
    QVERIFY(!viewer->findChild<QTimer*>("Timer3D")->isActive());
    // Ticks go on; nothing waits for a frame.
    w->console.output.OutputTick();
    QVERIFY(w->console.deviceFeed.RedrawRequest);
    viewer->close();
    w->click("SpeedButton3Don");
    QCOMPARE(w->form.findChildren<Tform3Dtavr*>().size(), 1);
    QCOMPARE(w->form.findChildren<QLabel*>("LabelNoOpenGL").size(), 1);
    emit w->form.closeWindows();
    QVERIFY(!viewer->isVisible());
}

void DevicePlacementPanelTest::fitsTheOptionsTab()
{
    w->form.resize(TBaseForm::kWidth, TBaseForm::kHeight);
    w->form.pageControlInput()->setCurrentWidget(w->form.inputPage(TBaseForm::InputTab::Opcii));
    w->form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w->form));
    QWidget* page = w->form.inputPage(TBaseForm::InputTab::Opcii);
    auto* group = w->find<QGroupBox>("GroupBoxDevices");
    for (QWidget* child : group->findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QRect r(child->mapTo(page, QPoint()), child->size());
        QVERIFY2(page->rect().contains(r), qPrintable(child->objectName()));
        QVERIFY2(child->width() >= child->minimumSizeHint().width(), qPrintable(child->objectName()));
    }
}

TAVRELIA_TEST_MAIN(DevicePlacementPanelTest)
#include "device_placement_panel_test.moc"
