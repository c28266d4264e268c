// The main window's hot keys, sent as real key events to the window: pictures held
// and latched, play, stop, blackout, where the keys count and where they do not.

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QKeySequence>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>

#include "key_preview.h"
#include "scripted_dialogs.h"
#include "static_form.h"
#include "window_fixture.h"

using namespace tavrelia;

namespace {

struct Keys : test::Window {
    Keys()
    {
        form.show();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("window not active");
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyPress(form.windowHandle(), key, modifiers);
    }
    void release(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyRelease(form.windowHandle(), key, modifiers);
    }
    void tap(Qt::Key key)
    {
        press(key);
        release(key);
    }
    QCheckBox* picture(const char* name) { return find<QCheckBox>(name); }
};

}  // namespace

class HotKeysTest : public QObject {
    Q_OBJECT
private slots:
    void tabControlsAndTexts();
    void everyPictureKeyHoldsItsPicture_data();
    void everyPictureKeyHoldsItsPicture();
    void ctrlLatchesUntilTheKeyIsPressedAgain();
    void shiftChangesNoPictureKey();
    void hintsNameTheKeysThatAct();
    void playStopAndBlackOutKeys();
    void autoRepeatTogglesNothing();
    void keysCountFromATextFieldOnlyWithPreviewOn();
    void spaceFlashesWithoutPressingTheFocusedBox();
    void otherWindowsKeepTheirKeys();
    void newShowSelectsThePicturesTab();
};

void HotKeysTest::tabControlsAndTexts()
{
    Keys w;
    auto* flashOn = w.find<QCheckBox>("CheckBoxFlashOn");
    QCOMPARE(flashOn->text(), QStringLiteral("Включить клавиатуру"));
    QCOMPARE(flashOn->toolTip(), QStringLiteral("Включить / Выключить флэш - кнопки клавиатуры"));
    QVERIFY(flashOn->isChecked());
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("Клавиатура ?"));
    QCOMPARE(w.picture("CheckBoxChsSpace")->text(), QStringLiteral("=="));
    QCOMPARE(w.picture("CheckBoxChs1")->toolTip(),
             QStringLiteral("Запрограммированая статическая картинка - Горячая кнопка =1= "));
    QCOMPARE(w.find<QWidget>("GroupBoxStatic")->parentWidget()->parentWidget(),
             w.form.ustPage(TBaseForm::UstTab::StatKartiny));
    QCOMPARE(w.form.pageControlUst()->tabText(2), QStringLiteral("Стат. картины"));
}

void HotKeysTest::everyPictureKeyHoldsItsPicture_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("code");
    const char* const boxes[] = {"1", "2", "3", "4", "5", "6", "7", "8", "Space",
                                 "Z", "X", "C", "V", "B", "N", "M"};
    const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6,
                            Qt::Key_7, Qt::Key_8, Qt::Key_Space, Qt::Key_Z, Qt::Key_X, Qt::Key_C,
                            Qt::Key_V, Qt::Key_B, Qt::Key_N, Qt::Key_M};
    for (int k = 0; k < 16; ++k)
        QTest::newRow(boxes[k]) << int(keys[k]) << QStringLiteral("CheckBoxChs") + QLatin1String(boxes[k])
                                << HotKeys::virtualKey(keys[k]);
}

void HotKeysTest::everyPictureKeyHoldsItsPicture()
{
    QFETCH(int, key);
    QFETCH(QString, box);
    QFETCH(int, code);
    Keys w;
    w.press(Qt::Key(key));
    QVERIFY(w.picture(box.toLatin1())->isChecked());
    QCOMPARE(w.pictures().count(u'1'), 1);
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is %1").arg(code));
    w.release(Qt::Key(key));
    QVERIFY(!w.picture(box.toLatin1())->isChecked());
    QCOMPARE(w.pictures(), QString(16, u'0'));
}

void HotKeysTest::ctrlLatchesUntilTheKeyIsPressedAgain()
{
    Keys w;
    w.press(Qt::Key_3);
    w.press(Qt::Key_Control, Qt::ControlModifier);
    w.release(Qt::Key_3, Qt::ControlModifier);
    w.release(Qt::Key_Control);
    QCOMPARE(w.pictures(), QStringLiteral("0010000000000000"));
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is 17"));
    // Held with Ctrl from the start: latched as well, and two at once.
    w.press(Qt::Key_Control, Qt::ControlModifier);
    w.press(Qt::Key_Z, Qt::ControlModifier);
    w.release(Qt::Key_Z, Qt::ControlModifier);
    w.release(Qt::Key_Control);
    QCOMPARE(w.pictures(), QStringLiteral("0010000001000000"));
    w.tap(Qt::Key_3);
    QCOMPARE(w.pictures(), QStringLiteral("0000000001000000"));
    // A latched box cleared by hand.
    w.picture("CheckBoxChsZ")->setChecked(false);
    QCOMPARE(w.pictures(), QString(16, u'0'));
    // Q belongs to the conveyor: here it only shows its code.
    w.tap(Qt::Key_Q);
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is 81"));
    QCOMPARE(w.pictures(), QString(16, u'0'));
}

// The symbols a digit key types with Shift are the same key: it holds its picture,
// and a key released with other modifiers than it was pressed with releases it.
void HotKeysTest::shiftChangesNoPictureKey()
{
    Keys w;
    w.press(Qt::Key_NumberSign, Qt::ShiftModifier);
    QCOMPARE(w.pictures(), QStringLiteral("0010000000000000"));
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is 51"));
    w.release(Qt::Key_NumberSign, Qt::ShiftModifier);
    QCOMPARE(w.pictures(), QString(16, u'0'));

    w.press(Qt::Key_3);
    w.press(Qt::Key_Shift, Qt::ShiftModifier);
    w.release(Qt::Key_NumberSign, Qt::ShiftModifier);
    w.release(Qt::Key_Shift);
    QCOMPARE(w.pictures(), QString(16, u'0'));

    w.press(Qt::Key_Shift, Qt::ShiftModifier);
    w.press(Qt::Key_Asterisk, Qt::ShiftModifier);
    w.release(Qt::Key_Shift);
    QCOMPARE(w.pictures(), QStringLiteral("0000000100000000"));
    w.release(Qt::Key_8);
    QCOMPARE(w.pictures(), QString(16, u'0'));
}

void HotKeysTest::playStopAndBlackOutKeys()
{
    Keys w;
    auto* play = w.find<QAbstractButton>("SpeedButtonPlay");
    auto* stop = w.find<QAbstractButton>("SpeedButtonStop");
    auto* blackOut = w.find<QCheckBox>("CheckBoxBlackOut");
    w.tap(Qt::Key_Equal);
    QVERIFY(w.console.play.PlayFlag);
    QVERIFY(play->isChecked());
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is 187"));
    w.tap(Qt::Key_Minus);
    QVERIFY(!w.console.play.PlayFlag);
    QVERIFY(stop->isChecked());
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is 189"));

    // The digit 0 toggles the blackout and drops the play flag, Play staying down.
    w.tap(Qt::Key_Equal);
    w.tap(Qt::Key_0);
    QVERIFY(blackOut->isChecked());
    QVERIFY(w.console.controls.blackOut);
    QVERIFY(!w.console.play.PlayFlag);
    QVERIFY(play->isChecked());
    w.tap(Qt::Key_0);
    QVERIFY(!blackOut->isChecked());
    QVERIFY(!w.console.controls.blackOut);
}

// An operator who presses the key a hint names gets what the control does.
void HotKeysTest::hintsNameTheKeysThatAct()
{
    Keys w;
    auto* play = w.find<QAbstractButton>("SpeedButtonPlay");
    auto* stop = w.find<QAbstractButton>("SpeedButtonStop");
    auto* blackOut = w.find<QCheckBox>("CheckBoxBlackOut");
    // The key sits between "/ /" or "= =" at the end of the hint.
    const auto keyOf = [](const QWidget* control) {
        const QRegularExpression named(QStringLiteral("(?:/(.)/|= (.) =) $"));
        const QRegularExpressionMatch match = named.match(control->toolTip());
        const QString key = match.captured(1) + match.captured(2);
        return key.size() == 1 ? Qt::Key(QKeySequence(key)[0].key()) : Qt::Key_unknown;
    };
    w.tap(keyOf(play));
    QVERIFY(w.console.play.PlayFlag);
    QVERIFY(play->isChecked());
    w.tap(keyOf(stop));
    QVERIFY(!w.console.play.PlayFlag);
    QVERIFY(stop->isChecked());
    w.tap(keyOf(blackOut));
    QVERIFY(blackOut->isChecked());
    QVERIFY(w.console.controls.blackOut);
}

void HotKeysTest::autoRepeatTogglesNothing()
{
    Keys w;
    auto* blackOut = w.find<QCheckBox>("CheckBoxBlackOut");
    w.press(Qt::Key_0);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    for (int i = 0; i < 5; ++i) {
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_0, Qt::NoModifier, QStringLiteral("0"), true);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, QStringLiteral("0"), true);
        QApplication::sendEvent(focus, &up);
        QApplication::sendEvent(focus, &down);
    }
    w.release(Qt::Key_0);
    QVERIFY(blackOut->isChecked());

    // A held picture does not flicker off with the repeats' releases.
    w.press(Qt::Key_4);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_4, Qt::NoModifier, QStringLiteral("4"), true);
    QApplication::sendEvent(focus, &up);
    QVERIFY(w.console.controls.pictures[3]);
    w.release(Qt::Key_4);
    QVERIFY(!w.console.controls.pictures[3]);
}

void HotKeysTest::keysCountFromATextFieldOnlyWithPreviewOn()
{
    Keys w;
    w.form.pageControlInput()->setCurrentIndex(0);
    auto* name = w.find<QLineEdit>("Edit1");
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    w.press(Qt::Key_5);
    QVERIFY(w.console.controls.pictures[4]);
    w.release(Qt::Key_5);
    QCOMPARE(name->text(), QStringLiteral("5"));   // the field has the key as well

    auto* flashOn = w.find<QCheckBox>("CheckBoxFlashOn");
    flashOn->setChecked(false);
    QVERIFY(!w.form.keyPreview()->preview());
    name->setFocus();
    w.press(Qt::Key_5);
    QVERIFY(!w.console.controls.pictures[4]);
    w.release(Qt::Key_5);
    QCOMPARE(name->text(), QStringLiteral("55"));

    // With no control focused the window itself has the key.
    QApplication::focusWidget()->clearFocus();
    QVERIFY(!w.form.focusWidget() || w.form.focusWidget() == &w.form);
    w.press(Qt::Key_5);
    QVERIFY(w.console.controls.pictures[4]);
    w.release(Qt::Key_5);
    flashOn->setChecked(true);
}

void HotKeysTest::spaceFlashesWithoutPressingTheFocusedBox()
{
    Keys w;
    w.form.pageControlUst()->setCurrentWidget(w.form.ustPage(TBaseForm::UstTab::Urovni));
    auto* blackOut = w.find<QCheckBox>("CheckBoxBlackOut");
    blackOut->setFocus();
    QTRY_VERIFY(blackOut->hasFocus());
    w.press(Qt::Key_Space);
    QVERIFY(w.console.controls.pictures[8]);
    w.release(Qt::Key_Space);
    QVERIFY(!w.console.controls.pictures[8]);
    QVERIFY(!blackOut->isChecked());

    // Without the hot keys the box has its Space back.
    w.find<QCheckBox>("CheckBoxFlashOn")->setChecked(false);
    blackOut->setFocus();
    w.tap(Qt::Key_Space);
    QVERIFY(blackOut->isChecked());
    QVERIFY(!w.console.controls.pictures[8]);
}

void HotKeysTest::otherWindowsKeepTheirKeys()
{
    Keys w;
    auto* editor = w.form.findChild<TStaticForm*>();
    editor->ChaserItemClick();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    editor->activateWindow();
    QTRY_VERIFY(editor->isActiveWindow());
    QTest::keyPress(editor->windowHandle(), Qt::Key_6);
    QVERIFY(!w.console.controls.pictures[5]);
    QTest::keyRelease(editor->windowHandle(), Qt::Key_6);
    editor->close();
    QTRY_VERIFY(w.form.isActiveWindow() || (w.form.activateWindow(), w.form.isActiveWindow()));

    // A modal box: the key goes to the box, not to the hot keys.
    bool boxSawNothing = false;
    QTimer::singleShot(0, &w.form, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QTest::keyPress(box->windowHandle(), Qt::Key_7);
        boxSawNothing = !w.console.controls.pictures[6];
        QTest::keyRelease(box->windowHandle(), Qt::Key_7);
        box->done(QMessageBox::No);
    });
    QMessageBox::question(&w.form, QStringLiteral("?"), QStringLiteral("?"));
    QVERIFY(boxSawNothing);
    QTRY_VERIFY(w.form.isActiveWindow() || (w.form.activateWindow(), w.form.isActiveWindow()));
    w.press(Qt::Key_7);
    QVERIFY(w.console.controls.pictures[6]);
    w.release(Qt::Key_7);
}

void HotKeysTest::newShowSelectsThePicturesTab()
{
    test::ScriptedDialogs dialogs;
    Keys w;
    w.form.pageControlUst()->setCurrentIndex(0);
    dialogs.questionAnswers.enqueue(true);   // "Создать новое ШОУ?", then the save is cancelled
    w.form.NewItemClick();
    QCOMPARE(w.form.pageControlUst()->currentWidget(), w.form.ustPage(TBaseForm::UstTab::StatKartiny));
}

TAVRELIA_TEST_MAIN(HotKeysTest)
#include "hot_keys_test.moc"
