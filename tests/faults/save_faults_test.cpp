// Saving when the disk will not take it. The real window saves the show, the
// autosave, the colour file, the recoding table and Tavy.ini into the show folder
// while a fault is made there for real: a file size limit, a small file system that
// is full, a read-only bind mount, a user who may not write there. Every time the
// old file stays whole, the user is shown the error, and the show in memory is as
// it was. Then each file's writer is killed again and again in the middle of its
// saves: the file is always one whole version, old or new.

#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <thread>

#include "output/recode_table_file.h"
#include "scripted_dialogs.h"
#include "test_environment.h"
#include "window_fixture.h"

using tavrelia::Console;
using tavrelia::ShowImage;
using tavrelia::test::ScriptedDialogs;

namespace {

enum class Target { Show, Autosave, ColorFile, RecodeTable, Settings };
enum class Fault { SizeLimit, FullDisk, ReadOnlyMount, Unprivileged };

QString folder()
{
    return tavrelia::test::showFolderPath();
}

QString pathOf(Target target)
{
    static const char* const kNames[] = {"old.tvl", "ShouTemp.tvl", "tavrEdit.col", "old.tvd", "Tavy.ini"};
    return folder() + QLatin1Char('/') + QLatin1String(kNames[static_cast<int>(target)]);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One of two versions of everything the five files hold.
void makeVersion(Console& console, int version)
{
    auto guard = console.lock();
    for (int channel = 1; channel < 256; ++channel)
        console.image.DataWrite(0, static_cast<uint8_t>(channel), version ? 0xAA : 0x55);
    console.colors.NameRed.fill(version ? 10 : 20);
    console.dmx.RecodeTable[1] = static_cast<uint16_t>(version ? 7 : 8);
    console.settings.lastFile = version ? QStringLiteral("one.tvl") : QStringLiteral("two.tvl");
}

// Writes target from the console by the program's own writer; false on failure.
bool save(Target target, Console& console)
{
    QString error;
    switch (target) {
    case Target::Show:
        return console.showFiles.SaveFileAs(pathOf(target)).done();
    case Target::Autosave:
        return console.showFiles.autosave().done();
    case Target::ColorFile:
        return console.colorFile.SaveColorEdit(pathOf(target)).done();
    case Target::RecodeTable:
        return tavrelia::RecodeTableFile::save(console.dmx.RecodeTable, pathOf(target), &error);
    case Target::Settings:
        return console.settings.write(pathOf(target)).isEmpty();
    }
    return false;
}

// Makes a fault in the show folder and takes it away again.
class FaultyFolder {
public:
    explicit FaultyFolder(Fault fault) : fault_(fault)
    {
        if (fault_ == Fault::FullDisk && !call(::mount("tavrelia", qPrintable(folder()), "tmpfs", 0, "size=256k")))
            skip_ = "cannot mount a small file system here: " + error_;
        if (fault_ == Fault::FullDisk && skip_.isEmpty())
            mounted_ = true;
    }
    ~FaultyFolder()
    {
        disarm();
        if (mounted_)
            ::umount2(qPrintable(folder()), MNT_DETACH);
    }
    QString skipReason() const { return skip_; }

    // Once the old files are in place.
    bool arm()
    {
        switch (fault_) {
        case Fault::SizeLimit:
            ::signal(SIGXFSZ, SIG_IGN);   // a write past the limit fails with EFBIG
            ::getrlimit(RLIMIT_FSIZE, &limit_);
            return call(::setrlimit(RLIMIT_FSIZE, &small_));
        case Fault::FullDisk:
            return fill();
        case Fault::ReadOnlyMount:
            if (!call(::mount(qPrintable(folder()), qPrintable(folder()), nullptr, MS_BIND, nullptr))) {
                skip_ = "cannot bind-mount here: " + error_;
                return false;
            }
            mounted_ = true;
            return call(::mount(nullptr, qPrintable(folder()), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr));
        case Fault::Unprivileged:
            // As root (CI) the folder's rights do not stop us: become nobody for the save.
            if (::geteuid() == 0) {
                const passwd* nobody = ::getpwnam("nobody");
                if (!nobody) {
                    skip_ = "no user nobody";
                    return false;
                }
                userChanged_ = call(::seteuid(nobody->pw_uid));
                return userChanged_;
            }
            return call(::chmod(qPrintable(folder()), 0555));
        }
        return false;
    }
    void disarm()
    {
        if (fault_ == Fault::SizeLimit && limit_.rlim_cur != 0)
            ::setrlimit(RLIMIT_FSIZE, &limit_);
        if (userChanged_)
            userChanged_ = ::seteuid(0) != 0;
        if (fault_ == Fault::Unprivileged)
            ::chmod(qPrintable(folder()), 0755);
        if (fault_ == Fault::ReadOnlyMount && mounted_) {
            ::umount2(qPrintable(folder()), MNT_DETACH);
            mounted_ = false;
        }
    }
    QString error() const { return error_; }

private:
    bool call(int result)
    {
        if (result == 0)
            return true;
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Whatever room is left goes to a filler file.
    bool fill()
    {
        QFile filler(folder() + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        return true;
    }

    Fault fault_;
    QString skip_;
    QString error_;
    bool mounted_ = false;
    bool userChanged_ = false;
    rlimit limit_{};
    rlimit small_{64, RLIM_INFINITY};
};

// The child process's part of killedHalfWay(): saves target over and over,
// alternating between the two versions, until it is killed.
int saveForever(Target target)
{
    Console console;
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        makeVersion(console, i % 2);
        save(target, console);
    }
}

}  // namespace

class SaveFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void oldFileStaysWhole_data();
    void oldFileStaysWhole();
    void killedHalfWay_data();
    void killedHalfWay();

private:
    void trigger(Target target);
    QByteArray showBytes() const { return QByteArray(reinterpret_cast<const char*>(w_.console.image.data()), ShowImage::kImageSize); }

    ScriptedDialogs dialogs_;
    mutable tavrelia::test::Window w_;
};

void SaveFaultsTest::trigger(Target target)
{
    switch (target) {
    case Target::Show:
        w_.action("SaveItem")->trigger();
        break;
    case Target::Autosave:
        w_.form.TimerAvtoSaveTimer();
        break;
    case Target::ColorFile:
        emit w_.form.closeWindows();   // the close sequence's first step
        break;
    case Target::RecodeTable:
        dialogs_.fileAnswers.enqueue(pathOf(target));
        w_.click("SpeedButtonSaveCoderTab");
        break;
    case Target::Settings:
        w_.form.WriteIniFile();
        break;
    }
}

void SaveFaultsTest::oldFileStaysWhole_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Target>("target");
    const std::pair<const char*, Fault> faults[] = {
        {"size limit", Fault::SizeLimit},
        {"full disk", Fault::FullDisk},
        {"read-only mount", Fault::ReadOnlyMount},
        {"no permission", Fault::Unprivileged},
    };
    const std::pair<const char*, Target> targets[] = {
        {"show", Target::Show},           {"autosave", Target::Autosave},
        {"colour file", Target::ColorFile}, {"recoding table", Target::RecodeTable},
        {"Tavy.ini", Target::Settings},
    };
    for (const auto& [faultName, fault] : faults) {
        for (const auto& [targetName, target] : targets)
            QTest::addRow("%s, %s", faultName, targetName) << fault << target;
    }
}

void SaveFaultsTest::oldFileStaysWhole()
{
    QFETCH(Fault, fault);
    QFETCH(Target, target);
    QDir().mkpath(folder());
    FaultyFolder faulty(fault);
    if (!faulty.skipReason().isEmpty())
        QSKIP(qPrintable(faulty.skipReason()));

    // The old file, then a different show in memory with a header of another program.
    makeVersion(w_.console, 0);
    QVERIFY(save(target, w_.console));
    const QByteArray old = contents(pathOf(target));
    QVERIFY(!old.isEmpty());
    makeVersion(w_.console, 1);
    w_.console.image[5] = 'Z';
    w_.console.showFiles.saveFileName = pathOf(Target::Show);
    w_.console.showFiles.ShowNamed = true;
    const QByteArray show = showBytes();
    dialogs_.clear();

    if (!faulty.arm()) {
        if (!faulty.skipReason().isEmpty())
            QSKIP(qPrintable(faulty.skipReason()));
        QFAIL(qPrintable("the fault could not be made: " + faulty.error()));
    }
    trigger(target);
    faulty.disarm();

    QCOMPARE(contents(pathOf(target)), old);
    const QStringList errors = dialogs_.texts(ScriptedDialogs::Kind::Critical);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QDir::toNativeSeparators(pathOf(target))), qPrintable(errors.first()));
    QVERIFY(showBytes() == show);
    QCOMPARE(w_.console.showFiles.saveFileName, pathOf(Target::Show));
}

void SaveFaultsTest::killedHalfWay_data()
{
    QTest::addColumn<Target>("target");
    QTest::newRow("show") << Target::Show;
    QTest::newRow("autosave") << Target::Autosave;
    QTest::newRow("colour file") << Target::ColorFile;
    QTest::newRow("recoding table") << Target::RecodeTable;
    QTest::newRow("Tavy.ini") << Target::Settings;
}

void SaveFaultsTest::killedHalfWay()
{
    QFETCH(Target, target);
    QDir().mkpath(folder());
    // The old file and the two versions the writer alternates between.
    Console console;
    QByteArray versions[3];
    for (int v : {0, 1}) {
        makeVersion(console, v);
        QVERIFY(save(target, console));
        versions[v] = contents(pathOf(target));
    }
    versions[2] = versions[0];
    versions[2][versions[2].size() / 2] = '#';   // the old one
    QFile old(pathOf(target));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(versions[2]);
    old.close();

    for (int kill = 0; kill < 20; ++kill) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--save-forever"), QString::number(static_cast<int>(target))});
        QVERIFY(writer.waitForReadyRead(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(20000)));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        const QByteArray now = contents(pathOf(target));
        QVERIFY2(now == versions[0] || now == versions[1] || now == versions[2],
                 qPrintable(QStringLiteral("after kill %1: %2 bytes of none of the versions").arg(kill).arg(now.size())));
    }
}

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--save-forever") == 0)
        return saveForever(static_cast<Target>(std::atoi(argv[2])));
    QTemporaryDir home;
    // Folders that the user nobody may pass through, for the permission fault.
    ::chmod(qPrintable(home.path()), 0755);
    tavrelia::test::isolateEnvironment(home);
    QApplication app(argc, argv);
    SaveFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "save_faults_test.moc"
