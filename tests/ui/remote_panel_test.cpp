// The phone remote's group on the options tab: switched on and off, its PIN set and
// checked, both kept in Tavrelia.conf, and the address shown as text and as a QR code
// that a reader decodes back to the same address.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include <memory>

#include "base_form.h"
#include "check_box_click.h"
#include "console.h"
#include "qr_code_view.h"
#include "remote/remote_settings.h"
#include "remote_panel.h"
#include "scripted_dialogs.h"
#include "test_environment.h"

using namespace tavrelia;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void writeSettings(bool enabled, const QString& pin, quint16 port)
{
    SettingsStore store;
    RemoteSettings settings;
    settings.enabled = enabled;
    settings.port = port;
    settings.address = QStringLiteral("127.0.0.1");
    QVERIFY(settings.save(store));
    QVERIFY(store.write(QStringLiteral("Remote"), {{QStringLiteral("Pin"), pin}}));
}

RemoteSettings stored()
{
    return SettingsStore().read<RemoteSettings>();
}

QString storedPin()
{
    return SettingsStore().group(QStringLiteral("Remote")).text(QStringLiteral("Pin"));
}

// What a phone's camera would read from the code as it is on the screen.
QString decoded(QWidget* code)
{
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (reader.isEmpty())
        return QStringLiteral("(no zbarimg)");
    const QString path = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("qr.png"));
    code->grab().save(path);
    QProcess zbar;
    zbar.start(reader, {QStringLiteral("--raw"), QStringLiteral("-q"), path});
    zbar.waitForFinished(10000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

}  // namespace

class RemotePanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsFromTheSettingsAndShowsTheAddressAsTextAndCode();
    void switchedOffAndOnFromItsBox();
    void aPinIsTakenOnlyWithFourToEightDigits();
    void whatKeepsItFromStartingIsShown();

private:
    void start();
    QCheckBox* box() { return test::child<QCheckBox>(*form_, QStringLiteral("CheckBoxRemote")); }
    QLineEdit* pin() { return test::child<QLineEdit>(*form_, QStringLiteral("EditRemotePin")); }
    QString address() { return test::child<QLabel>(*form_, QStringLiteral("LabelRemoteAddress"))->text(); }
    QrCodeView* code() { return test::child<QrCodeView>(*form_, QStringLiteral("QrRemote")); }
    bool running() { return console_->connections.state(RemoteSettings::kConnection) == Connection::State::On; }
    void typePin(const QString& text)
    {
        pin()->clear();
        QTest::keyClicks(pin(), text);
        QTest::keyClick(pin(), Qt::Key_Return);
    }

    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<Console> console_;
    std::unique_ptr<TBaseForm> form_;
    quint16 port_ = 0;
};

void RemotePanelTest::init()
{
    QFile::remove(SettingsStore::filePath());
    port_ = freePort();
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    console_ = std::make_unique<Console>();
}

void RemotePanelTest::start()
{
    form_ = std::make_unique<TBaseForm>(*console_);
    console_->connections.startAll();
    emit form_->startUpInterface();
}

void RemotePanelTest::cleanup()
{
    form_.reset();
    console_.reset();
    dialogs_.reset();
}

void RemotePanelTest::startsFromTheSettingsAndShowsTheAddressAsTextAndCode()
{
    writeSettings(true, QStringLiteral("4711"), port_);
    start();
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port_);
    QVERIFY(running());
    QCOMPARE(address(), url);
    QVERIFY(!code()->isHidden());
    QCOMPARE(code()->text(), url);
    QTRY_COMPARE(decoded(code()), url);   // once laid out
    QVERIFY(box()->isChecked());
    QCOMPARE(pin()->text(), QStringLiteral("4711"));
    // Every module at least 3 pixels, the quiet zone included.
    QVERIFY(code()->width() >= 3 * (QrCode::encode(url).size() + 2 * QrCodeView::kQuietModules));

    const QString folder = qEnvironmentVariable("TAVRELIA_SHOT_DIR");
    if (!folder.isEmpty()) {
        auto* group = test::child<QWidget>(*form_, QStringLiteral("GroupBoxRemote"));
        form_->show();
        form_->pageControlInput()->setCurrentWidget(form_->inputPage(TBaseForm::InputTab::Opcii));
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QVERIFY(group->grab().save(QDir(folder).filePath(QStringLiteral("remote-group.png"))));
        QVERIFY(form_->inputPage(TBaseForm::InputTab::Opcii)->grab().save(
            QDir(folder).filePath(QStringLiteral("remote-options-tab.png"))));
    }
}

void RemotePanelTest::switchedOffAndOnFromItsBox()
{
    writeSettings(true, QStringLiteral("4711"), port_);
    start();
    test::clickCheckBox(box());
    QVERIFY(!running());
    QCOMPARE(address(), QStringLiteral("Выключен"));
    QVERIFY(code()->isHidden());
    QVERIFY(!stored().enabled);
    // The port is free again.
    QTcpServer taker;
    QVERIFY(taker.listen(QHostAddress::LocalHost, port_));
    taker.close();

    test::clickCheckBox(box());
    QVERIFY(running());
    QVERIFY(stored().enabled);
    QCOMPARE(console_->connections.where(RemoteSettings::kConnection), QStringLiteral("http://127.0.0.1:%1/").arg(port_));
}

void RemotePanelTest::aPinIsTakenOnlyWithFourToEightDigits()
{
    writeSettings(true, QStringLiteral("4711"), port_);
    start();
    const QByteArray key = stored().sessionKey;
    QVERIFY(!key.isEmpty());
    for (const char* refused : {"", "1", "123", "12ab"}) {
        typePin(QString::fromLatin1(refused));
        QCOMPARE(storedPin(), QStringLiteral("4711"));
        QCOMPARE(address(), QStringLiteral("Задайте PIN из 4–8 цифр"));
        QVERIFY(running());
    }
    // The box itself keeps letters and a ninth digit out.
    typePin(QStringLiteral("123456789"));
    QCOMPARE(pin()->text(), QStringLiteral("12345678"));
    QCOMPARE(storedPin(), QStringLiteral("12345678"));
    typePin(QStringLiteral("0042"));
    QCOMPARE(storedPin(), QStringLiteral("0042"));
    QCOMPARE(address(), QStringLiteral("http://127.0.0.1:%1/").arg(port_));
    // A new PIN, the same key: only the PIN ends the phones' sessions.
    QCOMPARE(stored().sessionKey, key);
}

void RemotePanelTest::whatKeepsItFromStartingIsShown()
{
    writeSettings(true, QString(), port_);
    start();
    QVERIFY(!running());
    QCOMPARE(address(), QStringLiteral("Задайте PIN из 4–8 цифр"));
    typePin(QStringLiteral("123"));
    QVERIFY(!running());
    typePin(QStringLiteral("1234"));
    QVERIFY(running());

    // The port taken by someone else.
    form_.reset();
    console_->connections.stopAll();
    QTcpServer taker;
    QVERIFY(taker.listen(QHostAddress::LocalHost, port_));
    start();
    QVERIFY(!running());
    QVERIFY2(address().startsWith(QStringLiteral("Не запущен: cannot listen on 127.0.0.1 port %1").arg(port_)),
             qPrintable(address()));
    QVERIFY(code()->isHidden());
}

TAVRELIA_TEST_MAIN(RemotePanelTest)
#include "remote_panel_test.moc"
