#include <QStyleOptionGroupBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "../e2e/osc_peer.h"
#include "base_form.h"
#include "console.h"
#include "osc_panel.h"
#include "scripted_dialogs.h"
#include "test_environment.h"

using namespace tavrelia;
using wire::OscPeer;

using test::readConf;
using test::writeConf;

class OscPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void groupOnTheOptionsTabStartsOff();
    void enablingListensSavesAndCountsWhatComes();
    void startUpReportsWhatStopsTheServer();
    void addressesByNameAreRefused();
    void fitsTheWindow();

private:
    template <typename T>
    T* find(const char* name)
    {
        return tavrelia::test::child<T>(*form, QString::fromLatin1(name));
    }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    QString message(const char* label) { return find<QLabel>(label)->text(); }
    // Clicks the box in the group's title, where a user switches it on and off.
    void clickEnabled()
    {
        auto* group = find<OscPanel>("GroupBoxOsc");
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.subControls = QStyle::SC_GroupBoxCheckBox | QStyle::SC_GroupBoxLabel;
        option.text = group->title();
        option.lineWidth = 1;
        option.features = QStyleOptionFrame::None;
        const QRect box = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, group);
        QTest::mouseClick(group, Qt::LeftButton, {}, box.center());
    }
    // Types into a field as the user does, ending the edit.
    void type(const char* field, const QString& text)
    {
        auto* edit = find<QLineEdit>(field);
        edit->setText(text);
        emit edit->editingFinished();
    }

    bool listening() { return console->connections.state(QStringLiteral("osc")) == Connection::State::On; }
    // As the window starts: the connections, then what the group shows of them.
    void startUp()
    {
        console->connections.startAll();
        find<OscPanel>("GroupBoxOsc")->startUp();
    }

    std::unique_ptr<Console> console;
    std::unique_ptr<TBaseForm> form;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
};

void OscPanelTest::init()
{
    QFile::remove(test::confPath());
    dialogs.reset();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    console = std::make_unique<Console>();
    form = std::make_unique<TBaseForm>(*console);
}

void OscPanelTest::cleanup()
{
    form.reset();
    console.reset();
    dialogs.reset();
}

void OscPanelTest::groupOnTheOptionsTabStartsOff()
{
    auto* group = find<OscPanel>("GroupBoxOsc");
    QCOMPARE(group->title(), QStringLiteral("OSC"));
    auto* tabs = form->pageControlInput();
    QCOMPARE(tabs->tabText(tabs->indexOf(group->parentWidget())), QStringLiteral("Опции"));
    startUp();
    QVERIFY(!group->isChecked());
    QCOMPARE(find<QSpinBox>("SpinEditOscPort")->value(), 8000);
    QCOMPARE(message("LabelOscState"), QStringLiteral("Выключено"));
    QVERIFY(!listening());
}

void OscPanelTest::enablingListensSavesAndCountsWhatComes()
{
    startUp();
    const uint16_t port = OscPeer::freePort();
    auto* portBox = find<QSpinBox>("SpinEditOscPort");
    portBox->setValue(port);
    type("EditOscAddress", QStringLiteral("127.0.0.1"));
    QVERIFY(!listening());   // still off: the edits are kept for later
    clickEnabled();
    QVERIFY(listening());
    QCOMPARE(message("LabelOscState"), QStringLiteral("Порт %1: нет PIN, команды не принимаются").arg(port));
    // The PIN is the phone remote's: set there, OSC takes it at once.
    type("EditRemotePin", QStringLiteral("4711"));
    QCOMPARE(message("LabelOscState"), QStringLiteral("Ждет команд на порту %1").arg(port));
    const QString conf = readConf();
    QVERIFY2(conf.contains("[OSC]") && conf.contains("Enabled=true") && conf.contains(QStringLiteral("Port=%1").arg(port)) &&
                 conf.contains("Address=127.0.0.1"),
             qPrintable(conf));

    OscPeer tablet;
    tablet.send(port, {"/tavrelia/pin", {"4711"}});
    tablet.send(port, {"/tavrelia/fader/1", {200}});
    tablet.sendBytes(port, "not OSC");
    tablet.send(port, {"/tavrelia/fader/1", {300}});
    QTRY_COMPARE(console->live.fader(1), 200);
    QTRY_COMPARE(text("LabelOscReceived"), QStringLiteral("4"));
    const std::pair<const char*, const char*> shown[] = {
        {"LabelOscApplied", "2"}, {"LabelOscMalformed", "1"}, {"LabelOscUnknown", "0"},
        {"LabelOscRefused", "1"}, {"LabelOscClients", "1"},
    };
    for (const auto& [label, count] : shown)
        QCOMPARE(text(label), QString::fromLatin1(count));
    QVERIFY(text("LabelOscSent").toInt() > 100);   // every state, to the new sender
    QCOMPARE(message("LabelOscLastFault"), QStringLiteral("Ошибка: fader/1 — 0..255"));

    clickEnabled();
    QVERIFY(!listening());
    QCOMPARE(message("LabelOscState"), QStringLiteral("Выключено"));
    QVERIFY(readConf().contains("Enabled=false"));
}

void OscPanelTest::startUpReportsWhatStopsTheServer()
{
    OscPeer holder;
    writeConf(QStringLiteral("[OSC]\nEnabled=true\nAddress=127.0.0.1\nPort=%1\nFeedbackPort=99999\n").arg(holder.port()));
    startUp();
    QVERIFY(find<OscPanel>("GroupBoxOsc")->isChecked());
    QVERIFY(!listening());
    QVERIFY2(message("LabelOscState").startsWith(QStringLiteral("Не работает: 127.0.0.1 port %1: ").arg(holder.port())),
             qPrintable(message("LabelOscState")));
    QVERIFY2(message("LabelOscState").contains(QStringLiteral("[OSC] FeedbackPort=99999: not a port")),
             qPrintable(message("LabelOscState")));
}

void OscPanelTest::addressesByNameAreRefused()
{
    startUp();
    find<QSpinBox>("SpinEditOscPort")->setValue(OscPeer::freePort());
    type("EditOscAddress", QStringLiteral("127.0.0.1"));
    clickEnabled();
    QVERIFY(listening());
    const QString saved = readConf();
    for (const char* field : {"EditOscFeedbackHost", "EditOscAddress"}) {
        type(field, QStringLiteral("tablet.local"));
        QCOMPARE(message("LabelOscState"), QStringLiteral("Не IP-адрес: tablet.local"));
        QCOMPARE(readConf(), saved);
        QVERIFY(listening());
        find<QLineEdit>(field)->setText(field == QLatin1String("EditOscAddress") ? "127.0.0.1" : "");
    }
}

void OscPanelTest::fitsTheWindow()
{
    form->pageControlInput()->setCurrentWidget(form->inputPage(TBaseForm::InputTab::Opcii));
    form->resize(TBaseForm::kWidth, TBaseForm::kHeight);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* group = find<OscPanel>("GroupBoxOsc");
    startUp();
    QTest::qWait(50);
    const QSize normal = form->size();
    // The longest texts the group shows: seven-digit counts and messages longer than a line.
    for (QLabel* count : group->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^LabelOsc(?!State|LastFault)"))))
        count->setText(QStringLiteral("9999999"));
    find<QLabel>("LabelOscState")->setText(QStringLiteral("Ждет команд на порту 65535"));
    find<QLabel>("LabelOscLastFault")->setText(QStringLiteral("Ошибка: 2001:db8:85a3::8a2e:370:7334: PIN раньше срока"));
    find<QLabel>("LabelOscLastFault")->show();
    QTest::qWait(50);
    // The tab holds it at the window's size, and every text is whole: the messages on
    // as many lines as they take.
    QCOMPARE(form->size(), normal);
    QWidget* page = group->parentWidget();
    QVERIFY(page->minimumSizeHint().height() <= page->height());
    QVERIFY(group->height() >= group->minimumSizeHint().height());
    for (QLabel* label : group->findChildren<QLabel*>()) {
        const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : label->minimumSizeHint().height();
        QVERIFY2(label->width() >= label->minimumSizeHint().width() && label->height() >= needed,
                 qPrintable(label->objectName() + QLatin1Char(' ') + label->text()));
    }
    for (QWidget* widget : group->findChildren<QWidget*>()) {
        if (widget->isVisible())
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), qPrintable(widget->objectName()));
    }
    const QString shot = qEnvironmentVariable("TAVRELIA_SCREENSHOT");
    if (!shot.isEmpty())
        form->grab().save(shot);
}

TAVRELIA_TEST_MAIN(OscPanelTest)

#include "osc_panel_test.moc"
