#include <sys/resource.h>

#include <csignal>
#include <memory>

#include <QAction>
#include <QLabel>
#include <QTabBar>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "about_form.h"
#include "base_form.h"
#include "console.h"
#include "help_window.h"
#include "scripted_dialogs.h"
#include "test_environment.h"

using namespace tavrelia;
using tavrelia::test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;
using Kinds = QList<Kind>;

namespace {

constexpr int kSize = ShowImage::kImageSize;
const QString kPrefix = QStringLiteral(" Initalization ");
const QString kMissing = QStringLiteral("Файл не существует !");

QString folder()
{
    return tavrelia::test::showFolderPath();
}

QString inFolder(const QString& name)
{
    return folder() + QLatin1Char('/') + name;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// What a previous run leaves in the folder: its Tavy.ini and its colour file.
void writeSettings(const QByteArray& ini)
{
    writeFile(inFolder(QStringLiteral("Tavy.ini")), ini);
    Console previous;
    writeFile(inFolder(QStringLiteral("tavrEdit.col")), previous.colorFile.bytes());
}

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + seed) & 0xFF);
    // Scene and tempo within their bars, so the window's refresh keeps them.
    if (size > 133) {
        bytes[131] = 0;
        bytes[132] = 9;
        bytes[133] = 44;
    }
    // Showing a show on the desk puts the rates, names and selection flags of the
    // visible channels 1..27 into their shown forms; keep those bytes in forms the
    // desk leaves as they are, so that a load compares byte for byte.
    if (size >= kSize) {
        for (int c = 1; c <= 27; ++c) {
            bytes[ShowImage::rateAddress(c)] = static_cast<char>(255);
            bytes[ShowImage::selectAddress(c)] = 0;
            for (int k = 0; k < ShowImage::kNameSize; ++k)
                bytes[ShowImage::nameAddress(c) + k] = 0;
        }
    }
    return bytes;
}

// The show a first start saves, from the documented byte list, not from the code.
QByteArray expectedFirstStartShow()
{
    QByteArray e(kSize, '\0');
    const char text[] =
        "it is DMX512 File Corvane USB Ver 5.3.1 Nordak 2008 show memory image - 640 records of 128 bytes   ";
    std::memcpy(e.data(), text, 99);
    const std::pair<int, int> bytes[] = {{131, 0},   {132, 1},   {133, 44}, {138, 1}, {139, 190},
                                         {140, 197}, {141, 190}, {145, 50}, {150, 50}};
    for (auto [offset, value] : bytes)
        e[offset] = static_cast<char>(value);
    for (int i = 256; i <= 511; ++i)
        e[i] = static_cast<char>(255);
    return e;
}

QByteArray withIdentHeader(QByteArray bytes)
{
    const auto& h = ShowImage::identHeader();
    std::copy(h.begin(), h.end(), bytes.begin());
    return bytes;
}

// What New leaves of a show: names, RateLevel, StartCode, automats, unused bytes.
QByteArray newShowFrom(QByteArray e)
{
    e = withIdentHeader(e);
    const std::pair<int, int> bytes[] = {{131, 0},   {132, 1},   {133, 44}, {138, 1},
                                         {139, 190}, {140, 197}, {141, 190}};
    for (auto [offset, value] : bytes)
        e[offset] = static_cast<char>(value);
    e.replace(256, 256, QByteArray(256, static_cast<char>(255)));
    e.replace(4608, kSize - 4608, QByteArray(kSize - 4608, '\0'));
    return e;
}

// One run of the program: the console and its window after the start-up sequence.
struct Program {
    Console console;
    TBaseForm form{console};

    explicit Program(bool start = true)
    {
        if (start)
            this->start();
    }
    void start()
    {
        form.FormCreate();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(form.windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }
    QByteArray image() const
    {
        return QByteArray(reinterpret_cast<const char*>(console.image.data()), kSize);
    }
    QString caption() const { return form.windowTitle(); }
    ShowFiles& files() { return console.showFiles; }
    template <typename T>
    T* find(const char* name) const
    {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};

// Fails the write of anything past 4 KB, as a full disk would (root ignores folder
// permissions, so a read-only folder cannot make a save fail here).
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

}  // namespace

class BaseFormTest : public QObject {
    Q_OBJECT
    // A run that opens the last show without a question and quits.
    static void startLoadingAndQuit(const QString& show, const QByteArray& content)
    {
        ScriptedDialogs dialogs;
        Program p;
        QCOMPARE(dialogs.calls.size(), 0);
        QCOMPARE(p.image(), content);
        QCOMPARE(p.caption(), kPrefix + show);
        p.form.close();
    }

private slots:
    void init() { QDir(folder()).removeRecursively(); }

    void firstStartSaveAsWritesTheNewShowByteForByte()
    {
        ScriptedDialogs dialogs;
        Program p;
        QCOMPARE(dialogs.calls.size(), 0);   // no message on a first start
        QVERIFY(QFileInfo(folder()).isDir());
        QCOMPARE(readFile(inFolder(QStringLiteral("tavrEdit.col"))), Console().colorFile.bytes());
        QCOMPARE(p.caption(), kPrefix + QStringLiteral("Unit_001"));

        const QString target = inFolder(QStringLiteral("first.tvl"));
        dialogs.fileAnswers.enqueue(target);
        p.key(Qt::Key_W);
        QCOMPARE(dialogs.kinds(), Kinds{Kind::SaveFile});
        const FileDialogRequest& request = dialogs.calls[0].request;
        QCOMPARE(request.filter, QStringLiteral("Файлы DMX Tavrelia  (*.tvl)|*.tvl"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("tvl"));
        QCOMPARE(request.fileName, QStringLiteral("Unit_001"));
        QCOMPARE(request.directory, folder());

        QCOMPARE(readFile(target), expectedFirstStartShow());
        QCOMPARE(p.caption(), kPrefix + target);
    }

    void quitWritesUnit001AndTheNextStartReportsItMissing()
    {
        ScriptedDialogs dialogs;
        {
            Program p;
            p.key(Qt::Key_Q);   // the save dialog is cancelled
            QCOMPARE(dialogs.kinds(), Kinds{Kind::SaveFile});
            QVERIFY(!p.form.isVisible());
        }
        const QByteArray ini = readFile(inFolder(QStringLiteral("Tavy.ini")));
        QVERIFY2(ini.contains("[LastFile]\nPath=Unit_001\n"), ini.constData());
        QVERIFY(ini.contains("[Konveir]\nFile01=\n"));
        QCOMPARE(QDir(folder()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("tavrEdit.col"), QStringLiteral("Tavy.ini")}));

        dialogs.clear();
        Program next;
        QCOMPARE(dialogs.kinds(), Kinds{Kind::Warning});
        QCOMPARE(dialogs.calls[0].text, kMissing);
        QCOMPARE(next.caption(), kPrefix + QStringLiteral("Unit_001"));
        QCOMPARE(next.image(), expectedFirstStartShow());
        QVERIFY(next.files().ShowNamed);
    }

    void startLoadsTheLastShowAndQuitKeepsTheConveyor()
    {
        const QString show = inFolder(QStringLiteral("last.tvl"));
        const QByteArray content = pattern(kSize, 4);
        writeFile(show, content);
        writeSettings("[Konveir]\r\nFile05=/shows/five.tvl\r\n[LastFile]\r\nPath=" + show.toUtf8() + "\r\n");

        startLoadingAndQuit(show, content);
        const SettingsFile after = SettingsFile::read(inFolder(QStringLiteral("Tavy.ini")));
        QCOMPARE(after.lastFile, show);
        QCOMPARE(after.conveyorFiles[4], QStringLiteral("/shows/five.tvl"));
        QCOMPARE(readFile(show), content);   // nothing saved without being asked
    }

    // A Tavy.ini left by the Windows program is in its Cyrillic code page: its names
    // load as they were meant, and the file is written back in UTF-8.
    void windowsProgramsSettingsReadInTheirCodePage()
    {
        const QString show = inFolder(QStringLiteral("Песня.tvl"));
        const QString five = QStringLiteral("/shows/Вторая.tvl");
        const QByteArray content = pattern(kSize, 6);
        writeFile(show, content);
        QStringEncoder windows1251("windows-1251");
        writeSettings("[Konveir]\r\nFile05=" + QByteArray(windows1251.encode(five)) + "\r\n[LastFile]\r\nPath="
                      + QByteArray(windows1251.encode(show)) + "\r\n");

        startLoadingAndQuit(show, content);
        const QByteArray written = readFile(inFolder(QStringLiteral("Tavy.ini")));
        QVERIFY(written.contains("File05=" + five.toUtf8() + "\n"));
        QVERIFY(written.contains("Path=" + show.toUtf8() + "\n"));
    }

    // What Save does in each state of the show's name.
    void saveFollowsTheState_data()
    {
        QTest::addColumn<QString>("steps");   // W=save as, O=open, M=open missing, N=new, L=last file missing
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("writesTo");   // empty: Save asks for a name
        QTest::newRow("first start") << "" << false << "";
        QTest::newRow("after save as") << "W" << true << "a.tvl";
        QTest::newRow("after open") << "O" << true << "b.tvl";
        QTest::newRow("after open of a missing file") << "WM" << true << "a.tvl";
        QTest::newRow("missing last file at start") << "L" << true << "Unit_001";
        QTest::newRow("after new") << "ON" << false << "";
    }
    void saveFollowsTheState()
    {
        QFETCH(QString, steps);
        QFETCH(bool, named);
        QFETCH(QString, writesTo);
        writeFile(inFolder(QStringLiteral("b.tvl")), pattern(kSize, 2));
        if (steps.contains(QLatin1Char('L')))
            writeSettings("[LastFile]\nPath=Unit_001\n");

        ScriptedDialogs dialogs;
        Program p;
        for (const QChar step : steps) {
            if (step == QLatin1Char('W')) {
                dialogs.fileAnswers.enqueue(inFolder(QStringLiteral("a.tvl")));
                p.key(Qt::Key_W);
            } else if (step == QLatin1Char('O') || step == QLatin1Char('M')) {
                dialogs.fileAnswers.enqueue(inFolder(step == QLatin1Char('O') ? QStringLiteral("b.tvl")
                                                                                : QStringLiteral("gone.tvl")));
                p.key(Qt::Key_O);
            } else if (step == QLatin1Char('N')) {
                dialogs.questionAnswers.enqueue(true);
                p.key(Qt::Key_N);   // its save dialog is cancelled
            }
        }
        QCOMPARE(p.files().ShowNamed, named);

        dialogs.clear();
        p.console.image.DataWrite(7, 7, 123);
        const QString asked = inFolder(QStringLiteral("asked.tvl"));
        dialogs.fileAnswers.enqueue(asked);
        p.key(Qt::Key_S);
        const QString target = writesTo.isEmpty() ? asked : inFolder(writesTo);
        QCOMPARE(dialogs.kinds(), writesTo.isEmpty() ? Kinds{Kind::SaveFile} : Kinds{});
        const QByteArray written = readFile(target);
        QCOMPARE(written.size(), kSize);
        QCOMPARE(static_cast<uint8_t>(written[ShowImage::levelAddress(7, 7)]), 123);
        QCOMPARE(written.left(128), withIdentHeader(written).left(128));
        QVERIFY(p.files().ShowNamed);
    }

    void headerKeptOnLoadReplacedOnSaveAndAutosavedAsLoaded()
    {
        const QString show = inFolder(QStringLiteral("foreign.tvl"));
        const QByteArray foreign = pattern(kSize, 9);
        writeFile(show, foreign);
        ScriptedDialogs dialogs;
        Program p;
        dialogs.fileAnswers.enqueue(show);
        p.key(Qt::Key_O);
        QCOMPARE(p.image(), foreign);
        QCOMPARE(p.caption(), kPrefix + show);

        auto* timer = p.find<QTimer>("TimerAvtoSave");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 180000);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QCOMPARE(readFile(inFolder(QStringLiteral("ShouTemp.tvl"))), foreign);
        QCOMPARE(p.find<QLabel>("StatusPanel0")->text(), QStringLiteral("Автосохранение файла foreign.tvl"));
        QVERIFY(p.find<QTimer>("TimerStatus")->isActive());
        QCOMPARE(p.caption(), kPrefix + show);

        p.key(Qt::Key_S);
        QCOMPARE(dialogs.kinds(), Kinds{Kind::OpenFile});
        QCOMPARE(readFile(show), withIdentHeader(foreign));
    }

    // A show changed since it was opened: Open asks first; Yes saves it to its file,
    // No drops the change, Cancel keeps it and opens nothing. Unchanged, nothing is asked.
    void openAsksAboutAChangedShow_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << int(Dialogs::Answer::Yes) << true << true;
        QTest::newRow("No") << int(Dialogs::Answer::No) << true << false;
        QTest::newRow("Cancel") << int(Dialogs::Answer::Cancel) << false << false;
    }
    void openAsksAboutAChangedShow()
    {
        QFETCH(int, answer);
        QFETCH(bool, opened);
        QFETCH(bool, saved);
        const QString first = inFolder(QStringLiteral("first.tvl"));
        const QString second = inFolder(QStringLiteral("second.tvl"));
        writeFile(first, pattern(kSize, 1));
        writeFile(second, pattern(kSize, 2));
        ScriptedDialogs dialogs;
        Program p;
        dialogs.fileAnswers.enqueue(first);
        p.key(Qt::Key_O);
        p.console.image.DataWrite(5, 5, 99);

        dialogs.clear();
        dialogs.threeWayAnswers.enqueue(Dialogs::Answer(answer));
        dialogs.fileAnswers.enqueue(second);
        p.key(Qt::Key_O);
        QCOMPARE(dialogs.texts(Kind::YesNoCancel), QStringList{QStringLiteral("Сохранить изменения?")});
        QCOMPARE(readFile(first).at(ShowImage::levelAddress(5, 5)) == char(99), saved);
        QCOMPARE(p.image() == readFile(second), opened);
        if (!opened)
            return;
        dialogs.clear();
        dialogs.fileAnswers.enqueue(first);
        p.key(Qt::Key_O);
        QCOMPARE(dialogs.kinds(), Kinds{Kind::OpenFile});
    }

    // A run that ended without saving left an autosave other than its last file: the
    // next start offers both, the autosave named with its time.
    void anUnsavedAutosaveIsOfferedAtStart_data()
    {
        QTest::addColumn<int>("autosaveSeed");
        QTest::addColumn<int>("choice");
        QTest::newRow("the autosave chosen") << 4 << 0;
        QTest::newRow("the last file chosen") << 4 << 1;
        QTest::newRow("the autosave is the last file") << 3 << -1;
    }
    void anUnsavedAutosaveIsOfferedAtStart()
    {
        QFETCH(int, autosaveSeed);
        QFETCH(int, choice);
        const QString last = inFolder(QStringLiteral("last.tvl"));
        writeFile(last, pattern(kSize, 3));
        QFile older(last);
        QVERIFY(older.open(QIODevice::ReadWrite));
        QVERIFY(older.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        older.close();
        writeSettings("[LastFile]\nPath=" + last.toUtf8() + "\n");
        const QString autosave = inFolder(QStringLiteral("ShouTemp.tvl"));
        writeFile(autosave, pattern(kSize, autosaveSeed));
        const QString time = QFileInfo(autosave).lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        ScriptedDialogs dialogs;
        if (choice >= 0)
            dialogs.choiceAnswers.enqueue(choice);
        Program p;
        if (choice < 0) {
            QCOMPARE(dialogs.kinds(), Kinds{});
            QCOMPARE(p.image(), readFile(last));
            return;
        }
        QCOMPARE(dialogs.texts(Kind::Choice),
                 QStringList{QStringLiteral("Шоу прошлого сеанса не было сохранено. Что открыть?|Автосохранение от ")
                             + time + QStringLiteral("|last.tvl")});
        QCOMPARE(p.image(), readFile(choice == 0 ? autosave : last));
        // Opened from the autosave, the show keeps the last file's name, but Save asks.
        QCOMPARE(p.files().ShowNamed, choice != 0);
        QCOMPARE(p.files().saveFileName, last);
    }

    void newShow_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saveIt");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("answered No") << false << false << false;
        QTest::newRow("Yes, save cancelled") << true << false << true;
        QTest::newRow("Yes, saved") << true << true << true;
    }
    void newShow()
    {
        QFETCH(bool, yes);
        QFETCH(bool, saveIt);
        QFETCH(bool, cleared);
        const QString show = inFolder(QStringLiteral("b.tvl"));
        const QByteArray content = pattern(kSize, 6);
        writeFile(show, content);
        ScriptedDialogs dialogs;
        Program p;
        dialogs.fileAnswers.enqueue(show);
        p.key(Qt::Key_O);
        p.form.pageControlInput()->addTab(new QWidget, QStringLiteral("x"));
        p.form.pageControlInput()->addTab(new QWidget, QStringLiteral("y"));
        p.form.pageControlInput()->setCurrentIndex(1);
        QSignalSpy clearedSpy(&p.form, &TBaseForm::showCleared);
        const QString saved = inFolder(QStringLiteral("saved.tvl"));

        dialogs.clear();
        dialogs.questionAnswers.enqueue(yes);
        if (saveIt)
            dialogs.fileAnswers.enqueue(saved);
        p.key(Qt::Key_N);

        QCOMPARE(dialogs.texts(Kind::Question), QStringList{QStringLiteral("Создать новое ШОУ?")});
        QCOMPARE(dialogs.kinds(), (yes ? Kinds{Kind::Question, Kind::SaveFile} : Kinds{Kind::Question}));
        QCOMPARE(readFile(show), content);
        QCOMPARE(QFile::exists(saved), saveIt);
        QCOMPARE(clearedSpy.size(), cleared ? 1 : 0);
        QCOMPARE(p.files().ShowNamed, !cleared);
        if (cleared) {
            QCOMPARE(p.image(), newShowFrom(content));
            QCOMPARE(p.console.image.DataRead(5, 5), 0);
            QCOMPARE(p.console.image.sceneTempo(), 44);
            QCOMPARE(p.form.pageControlInput()->currentIndex(), 0);
            // The refresh after the clear shows the name the show was last saved under.
            QCOMPARE(p.caption(), kPrefix + (saveIt ? saved : show));
        } else {
            QCOMPARE(p.image(), content);
        }
    }

    void cancelledDialogsChangeNothing()
    {
        ScriptedDialogs dialogs;
        Program p;
        const QByteArray before = p.image();
        const QString caption = p.caption();
        p.key(Qt::Key_O);
        p.key(Qt::Key_W);
        QCOMPARE(dialogs.kinds(), (Kinds{Kind::OpenFile, Kind::SaveFile}));
        QCOMPARE(p.image(), before);
        QCOMPARE(p.caption(), caption);
        QVERIFY(!p.files().ShowNamed);
        QCOMPARE(p.files().saveFileName, QStringLiteral("Unit_001"));
        // Only what the first start installed.
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("tavrEdit.col")});
    }

    // Files that do not load: the message, and the show exactly as it was.
    void filesThatDoNotLoad_data()
    {
        QTest::addColumn<int>("size");   // -1: no file at all
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("named");
        QTest::newRow("missing") << -1 << int(Kind::Warning) << true;
        QTest::newRow("empty") << 0 << int(Kind::Critical) << false;
        QTest::newRow("one byte short") << kSize - 1 << int(Kind::Critical) << false;
    }
    void filesThatDoNotLoad()
    {
        QFETCH(int, size);
        QFETCH(int, message);
        QFETCH(bool, named);
        const QString show = inFolder(QStringLiteral("short.tvl"));
        if (size >= 0)
            writeFile(show, pattern(size, 1));
        ScriptedDialogs dialogs;
        Program p;
        p.console.image.DataWrite(3, 3, 33);
        const QByteArray before = p.image();
        const QString caption = p.caption();
        dialogs.threeWayAnswers.enqueue(Dialogs::Answer::No);   // the change may go
        dialogs.fileAnswers.enqueue(show);
        p.key(Qt::Key_O);
        QCOMPARE(dialogs.kinds(), (Kinds{Kind::YesNoCancel, Kind::OpenFile, Kind(message)}));
        const QString text = dialogs.calls[2].text;
        if (Kind(message) == Kind::Warning)
            QCOMPARE(text, kMissing);
        else
            QVERIFY2(text.contains(show), qPrintable(text));
        QCOMPARE(p.image(), before);
        QCOMPARE(p.caption(), caption);
        QCOMPARE(p.files().ShowNamed, named);
        QCOMPARE(p.files().saveFileName, QStringLiteral("Unit_001"));
    }

    void longFileLoadsItsFirst81920Bytes()
    {
        const QString show = inFolder(QStringLiteral("long.tvl"));
        const QByteArray content = pattern(kSize + 777, 8);
        writeFile(show, content);
        ScriptedDialogs dialogs;
        Program p;
        dialogs.fileAnswers.enqueue(show);
        p.key(Qt::Key_O);
        QCOMPARE(dialogs.kinds(), Kinds{Kind::OpenFile});
        QCOMPARE(p.image(), content.left(kSize));
        QCOMPARE(p.caption(), kPrefix + show);
    }

    void failedSavesReportAndKeepTheOldFile()
    {
        const QString show = inFolder(QStringLiteral("old.tvl"));
        const QByteArray old = pattern(kSize, 5);
        writeFile(show, old);
        QDir().mkpath(inFolder(QStringLiteral("folder.tvl")));
        ScriptedDialogs dialogs;
        Program p;
        dialogs.fileAnswers.enqueue(show);
        p.key(Qt::Key_O);
        p.console.image.DataWrite(1, 1, 1);
        const QString caption = p.caption();

        dialogs.clear();
        dialogs.fileAnswers.enqueue(inFolder(QStringLiteral("folder.tvl")));
        p.key(Qt::Key_W);   // the chosen name is a folder
        {
            const FileSizeLimit limit;
            p.key(Qt::Key_S);   // the write fails half way
        }
        QCOMPARE(dialogs.kinds(), (Kinds{Kind::SaveFile, Kind::Critical, Kind::Critical}));
        QVERIFY(dialogs.calls[1].text.contains(inFolder(QStringLiteral("folder.tvl"))));
        QVERIFY(dialogs.calls[2].text.contains(show));
        QCOMPARE(readFile(show), old);
        QCOMPARE(p.caption(), caption);
        QCOMPARE(p.files().saveFileName, show);
    }

    void autosaveErrorIsReported()
    {
        QDir().mkpath(inFolder(QStringLiteral("ShouTemp.tvl")));
        ScriptedDialogs dialogs;
        Program p;
        p.form.TimerAvtoSaveTimer();
        QCOMPARE(dialogs.kinds(), Kinds{Kind::Critical});
        QVERIFY(dialogs.calls[0].text.contains(QStringLiteral("ShouTemp.tvl")));
    }

    void startAndCloseRunTheirStepsInOrder()
    {
        writeFile(inFolder(QStringLiteral("last.tvl")), pattern(kSize, 1));
        writeSettings("[LastFile]\nPath=" + inFolder(QStringLiteral("last.tvl")).toUtf8() + "\n");
        ScriptedDialogs dialogs;
        Program p(false);
        QStringList steps;
        const auto record = [&](const char* name) {
            return [&steps, &dialogs, name] {
                steps << QString::fromLatin1(name) + QString::number(dialogs.calls.size());
            };
        };
        connect(&p.form, &TBaseForm::startUpInterface, this, record("interface"));
        connect(&p.form, &TBaseForm::showCleared, this, record("cleared"));
        connect(&p.form, &TBaseForm::startUpOutput, this, record("output"));
        connect(&p.form, &TBaseForm::showLoaded, this, record("loaded"));
        connect(&p.form, &TBaseForm::dataSystemRefresh, this, record("refresh"));
        connect(&p.form, &TBaseForm::startUpTables, this, record("tables"));
        connect(&p.form, &TBaseForm::closeWindows, this, record("windows"));
        connect(&p.form, &TBaseForm::closeOutput, this, record("stopOutput"));
        connect(&p.form, &TBaseForm::closeInterface, this, record("closeInterface"));
        p.start();
        QCOMPARE(steps.join(QLatin1Char(' ')),
                 QStringLiteral("interface0 cleared0 output0 loaded0 refresh0 refresh0 tables0"));
        QCOMPARE(p.find<QLabel>("StatusPanel0")->text(), QString());

        steps.clear();
        QFile::remove(inFolder(QStringLiteral("Tavy.ini")));
        p.form.close();
        p.form.close();   // runs once
        QCOMPARE(steps.join(QLatin1Char(' ')),
                 QStringLiteral("windows0 stopOutput0 closeInterface0"));
        QCOMPARE(dialogs.kinds(), Kinds{Kind::SaveFile});
        QVERIFY(QFile::exists(inFolder(QStringLiteral("Tavy.ini"))));
    }

    void captionFollowsTheDialogNames_data()
    {
        QTest::addColumn<QString>("saveName");
        QTest::addColumn<QString>("openName");
        QTest::addColumn<QString>("caption");
        QTest::newRow("save name first") << "/s.tvl" << "/o.tvl" << " Initalization /s.tvl";
        QTest::newRow("else open name") << "" << "/o.tvl" << " Initalization /o.tvl";
        QTest::newRow("else unchanged") << "" << "" << "kept";
    }
    void captionFollowsTheDialogNames()
    {
        QFETCH(QString, saveName);
        QFETCH(QString, openName);
        QFETCH(QString, caption);
        ScriptedDialogs dialogs;
        Program p;
        p.form.setWindowTitle(QStringLiteral("kept"));
        p.files().saveFileName = saveName;
        p.files().openFileName = openName;
        QString seenByRefresh;
        connect(&p.form, &TBaseForm::dataSystemRefresh, this,
                [&] { seenByRefresh = p.form.windowTitle(); });
        p.form.ReturnDataSystem();
        QCOMPARE(p.caption(), caption);
        QCOMPARE(seenByRefresh, caption);
    }

    void menusAndToolButtons_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("call");   // what the entry opens first
        QTest::newRow("new") << "Шоу" << "NewItem" << "Создать новое Шоу" << "Ctrl+N"
                             << "SpeedButtonNEW" << "Новое Шоу" << int(Kind::Question);
        QTest::newRow("open") << "Шоу" << "OpenItem" << "Открыть Шоу" << "Ctrl+O"
                              << "SpeedButtonOPEN" << "Открыть Шоу" << int(Kind::OpenFile);
        QTest::newRow("save as") << "Шоу" << "SaveAsItem" << "Сохранить Шоу как ..." << "Ctrl+W"
                                 << "SpeedButtonSAVEAS" << "Записать Шоу под новым Именем "
                                 << int(Kind::SaveFile);
        QTest::newRow("save") << "Шоу" << "SaveItem" << "Сохранить Шоу" << "Ctrl+S"
                              << "SpeedButtonSAVE" << "Сохранить существующее Шоу "
                              << int(Kind::SaveFile);
        QTest::newRow("exit") << "Шоу" << "ExitItem" << "Выход" << "Ctrl+Q" << "" << "" << -1;
        QTest::newRow("about") << "Помощь" << "AboutItem" << "О программе" << ""
                               << "SpeedButtonABOUT" << "О программе" << -1;
        QTest::newRow("help") << "Помощь" << "HelpItem" << "Справка" << "F1"
                              << "SpeedButtonHELP" << "Справка" << -1;
    }
    void menusAndToolButtons()
    {
        QFETCH(QString, menu);
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(QString, shortcut);
        QFETCH(QString, button);
        QFETCH(QString, hint);
        QFETCH(int, call);
        ScriptedDialogs dialogs;
        Program p;
        auto* action = p.form.findChild<QAction*>(item);
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        QCOMPARE(qobject_cast<QMenu*>(action->parent())->title(), menu);
        if (button.isEmpty())
            return;
        auto* tool = p.form.findChild<QToolButton*>(button);
        QVERIFY(tool);
        QCOMPARE(tool->toolTip(), hint);
        QVERIFY(!tool->icon().isNull());
        if (call < 0)
            return;
        tool->click();
        QVERIFY(!dialogs.calls.isEmpty());
        QCOMPARE(dialogs.calls[0].kind, Kind(call));
    }

    void toolButtonsKeepTheirPlaces()
    {
        Program p;
        auto* bar = p.find<QToolBar>("ToolBar1");
        QStringList names;
        for (QAction* action : bar->actions())
            names << bar->widgetForAction(action)->objectName();
        QCOMPARE(names, (QStringList{"SpeedButtonNEW", "SpeedButtonOPEN", "SpeedButtonSAVE",
                                     "SpeedButtonSAVEAS", "SpeedButtonCOPY", "SpeedButtonCOPYPREDSCEN",
                                     "SpeedButtonCLEAR", "SpeedButtonDELSCEN", "SpeedButtonAVTOPLUS",
                                     "SpeedButtonRECORD", "SpeedButtonAREA", "SpeedButtonHELP", "SpeedButtonABOUT"}));
    }

    void aboutWindowIsModalAndCloses()
    {
        Program p;
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            QVERIFY(about);
            for (QLabel* label : about->findChildren<QLabel*>())
                seen += label->text() + QLatin1Char('|');
            QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
        p.find<QAction>("AboutItem")->trigger();
        QVERIFY2(seen.contains(QStringLiteral("Tavrelia|")), qPrintable(seen));
        QVERIFY2(seen.contains(QStringLiteral(TAVRELIA_VERSION)), qPrintable(seen));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void f1OpensTheProgramsOwnHelp()
    {
        Program p;
        p.key(Qt::Key_F1, Qt::NoModifier);
        auto* help = p.form.findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->browser()->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        const QString text = help->browser()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Создать новое Шоу")));
        QVERIFY(text.contains(QStringLiteral("Tavy.ini")));
        help->browser()->setSource(QUrl(QStringLiteral("qrc:/help/en.html")));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Where files live")));

        ScriptedDialogs dialogs;
        p.form.close();
        QVERIFY(!help->isVisible());
    }

    void windowFrame()
    {
        Program p(false);
        QCOMPARE(p.caption(), QStringLiteral("TAVRELIA"));
        p.start();
        QCOMPARE(p.form.size(), QSize(898, 651));
        const QRegularExpression free(QStringLiteral("^Свободно на диске\\d+ Mb$"));
        const QRegularExpression total(QStringLiteral("^Размер диска  \\d+ Mb$"));
        for (auto [name, re] : {std::pair{"LabelDiskFree", free}, std::pair{"LabelDiskSize", total}}) {
            auto* label = p.find<QLabel>(name);
            QVERIFY2(re.match(label->text()).hasMatch(), qPrintable(label->text()));
            QVERIFY(label->isVisible());
            QVERIFY(label->width() >= label->sizeHint().width());
        }
        QCOMPARE(p.find<QLabel>("StatusPanel0")->width(), 200);
        // Every title of the input notebook shows whole, none behind a scroll arrow.
        QTabBar* tabs = p.form.pageControlInput()->tabBar();
        QCOMPARE(tabs->count(), 8);
        QVERIFY2(tabs->tabRect(tabs->count() - 1).right() < tabs->width(),
                 qPrintable(QString::number(tabs->tabRect(tabs->count() - 1).right())));
    }
};

TAVRELIA_TEST_MAIN(BaseFormTest)
#include "base_form_test.moc"
