// Picture keys typed on a keyboard, as the X server reports them: a digit key with
// Shift, or released after Shift went down, is still that digit's key, in the US and
// the Russian layout alike.

#include <QCheckBox>
#include <QProcess>

#include "window_fixture.h"

using namespace tavrelia;

namespace {

// Runs a keyboard tool; the X events it makes wait for the event loop.
void run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), tool.readAllStandardError().constData());
}

struct Keyboard : test::Window {
    explicit Keyboard(const char* layout)
    {
        run(QStringLiteral("setxkbmap"), {QString::fromLatin1(layout)});
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("window not shown");
        // No window manager hands out the focus here.
        run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QString::number(form.winId())});
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("window not active");
    }
    // xdotool's words: "keydown shift", "keyup 3" ... The events arrive as the
    // event loop runs: the checks wait for them.
    void keys(const QString& script) { run(QStringLiteral("xdotool"), script.split(QLatin1Char(' '))); }
};

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void shiftedDigitKeys_data();
    void shiftedDigitKeys();
};

void KeyboardTest::shiftedDigitKeys_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("held");
    QTest::addColumn<int>("code");
    // Shift+3 types # or №, Shift+2 @ or ", Shift+4 $ or ;
    const char* const layouts[] = {"us", "ru"};
    for (const char* layout : layouts) {
        QTest::newRow(qPrintable(QStringLiteral("%1 3").arg(layout)))
            << layout << "3" << "0010000000000000" << 51;
        QTest::newRow(qPrintable(QStringLiteral("%1 2").arg(layout)))
            << layout << "2" << "0100000000000000" << 50;
        QTest::newRow(qPrintable(QStringLiteral("%1 4").arg(layout)))
            << layout << "4" << "0001000000000000" << 52;
    }
}

void KeyboardTest::shiftedDigitKeys()
{
    QFETCH(QString, layout);
    QFETCH(QString, key);
    QFETCH(QString, held);
    QFETCH(int, code);
    Keyboard w(qPrintable(layout));
    const QString none(16, u'0');

    w.keys(QStringLiteral("keydown shift keydown %1").arg(key));
    QTRY_COMPARE(w.pictures(), held);
    QCOMPARE(w.text("LabelKeySp"), QStringLiteral("NomberKey is %1").arg(code));
    w.keys(QStringLiteral("keyup %1 keyup shift").arg(key));
    QTRY_COMPARE(w.pictures(), none);

    // Pressed alone, released with Shift down: the same picture lets go.
    w.keys(QStringLiteral("keydown %1").arg(key));
    QTRY_COMPARE(w.pictures(), held);
    w.keys(QStringLiteral("keydown shift keyup %1 keyup shift").arg(key));
    QTRY_COMPARE(w.pictures(), none);
}

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    tavrelia::test::isolateEnvironment(home);
    QApplication app(argc, argv);
    KeyboardTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
    return failed;
}

#include "keyboard_test.moc"
