#include <QtTest>

#include "dialogs.h"
#include "scripted_dialogs.h"

using tavrelia::Dialogs;
using tavrelia::test::ScriptedDialogs;

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("description names its pattern")
            << QStringLiteral("Файлы DMX Tavrelia  (*.tvl)|*.tvl")
            << QStringLiteral("Файлы DMX Tavrelia  (*.tvl)");
        QTest::newRow("description without pattern")
            << QStringLiteral("Таблица|*.tvd") << QStringLiteral("Таблица (*.tvd)");
        QTest::newRow("two filters, several patterns")
            << QStringLiteral("Шоу|*.tvl;*.TVL|Все|*.*")
            << QStringLiteral("Шоу (*.tvl *.TVL);;Все (*.*)");
        QTest::newRow("odd trailing part ignored")
            << QStringLiteral("Шоу|*.tvl|lost") << QStringLiteral("Шоу (*.tvl)");
    }
    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(Dialogs::qtNameFilters(filter), expected);
    }

    void installedDialogsAreUsedAndRemoved()
    {
        Dialogs* real = &Dialogs::current();
        {
            ScriptedDialogs scripted;
            QCOMPARE(&Dialogs::current(), static_cast<Dialogs*>(&scripted));
            scripted.questionAnswers.enqueue(true);
            QVERIFY(Dialogs::current().question(nullptr, QStringLiteral("?")));
            QVERIFY(!Dialogs::current().question(nullptr, QStringLiteral("?")));
        }
        QCOMPARE(&Dialogs::current(), real);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
