#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "connections/connection_module.h"
#include "connections/connections.h"
#include "console.h"
#include "remote/remote_settings.h"
#include "settings/settings_store.h"
#include "surfaces/osc_settings.h"

using namespace tavrelia;

namespace {

// A settings file of its own.
struct Conf {
    void write(const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray text() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString path = dir.filePath("Tavrelia.conf");
    SettingsStore store{path};
};

// Says what the owner does with it.
class Probe : public Connection {
public:
    Probe(const QString& id, QStringList& log) : Connection(id, id), log_(log) {}
    void start(SettingsStore& store) override
    {
        SettingsStore::Group group = store.group(this->group());
        log_.append(id() + ":start " + group.text("Port"));
        took(group);
        setState(State::On);
    }
    void stop() override
    {
        log_.append(id() + ":stop");
        setState(State::Off);
    }

private:
    QStringList& log_;
};

}  // namespace

// Every switch of every group takes the same words, and names a bad one alike.
TEST(SettingsStore, EverySwitchTakesTheSameWords)
{
    const struct {
        const char* word;
        std::optional<bool> on;   // nothing: refused, the default kept
    } words[] = {
        {"true", true}, {"FALSE", false}, {"yes", true}, {"No", false}, {"on", true},
        {"OFF", false}, {"1", true},      {"0", false},  {"maybe", {}}, {"2", {}},
    };
    const std::function<bool(SettingsStore&, QStringList*)> switches[] = {
        [](SettingsStore& s, QStringList* p) { return s.read<OscSettings>(p).enabled; },
        [](SettingsStore& s, QStringList* p) { return s.read<RemoteSettings>(p).enabled; },
        [](SettingsStore& s, QStringList* p) {   // a connection's own switch
            QStringList log;
            Connections owner(s);
            owner.add("MIDI", "MIDI", [&log] { return std::make_unique<Probe>("MIDI", log); });
            owner.startAll();
            *p += owner.problems("MIDI");
            return owner.state("MIDI") == Connection::State::On;
        },
    };
    const char* groups[] = {"OSC", "Remote", "MIDI"};
    for (size_t g = 0; g < std::size(switches); ++g) {
        for (const auto& [word, on] : words) {
            SCOPED_TRACE(std::string(groups[g]) + " " + word);
            Conf conf;
            conf.write(QStringLiteral("[%1]\nEnabled=%2\n").arg(groups[g], word).toUtf8());
            QStringList problems;
            EXPECT_EQ(switches[g](conf.store, &problems), on.value_or(false));
            const QString said = QStringLiteral("[%1] Enabled=%2: not a switch").arg(groups[g], word);
            EXPECT_EQ(problems.size(), on ? 0 : 1);
            EXPECT_TRUE(on || problems.value(0).startsWith(said)) << problems.join('\n').toStdString();
        }
    }
}

TEST(SettingsStore, WritingKeepsCommentsOrderAndUnknownKeys)
{
    Conf conf;
    conf.write("; the desk in the hall\n[OSC]\nPort=9000\n# kept\nMine=1\n\n[MIDI%20map]\nfader\\3=cc 1 7\n"
               "[Other]\nX=1\n");
    ASSERT_TRUE(conf.store.write("OSC", {{"Port", "9100"}, {"Address", "::1"}, {"Mine", std::nullopt}}));
    ASSERT_TRUE(conf.store.write("MIDI map", {{"fader/3", "cc 2 8"}}));
    ASSERT_TRUE(conf.store.write("New", {{"Text", " blank ends; \"quoted\"\\"}}));
    EXPECT_EQ(conf.text(), "; the desk in the hall\n[OSC]\nPort=9100\n# kept\nAddress=::1\n\n[MIDI%20map]\n"
                           "fader/3=cc 2 8\n[Other]\nX=1\n\n[New]\nText=\" blank ends; \\\"quoted\\\"\\\\\"\n");
    EXPECT_EQ(conf.store.group("New").text("Text"), " blank ends; \"quoted\"\\");
}

// Started in order, stopped in reverse; a write of a key one read restarts it alone.
TEST(Connections, StartInOrderStopInReverseAndRestartOnTheirOwnKeys)
{
    Conf conf;
    conf.write("[a]\nEnabled=yes\nPort=1\n[b]\nEnabled=on\nPort=2\n[c]\nPort=3\n");
    QStringList log;
    Connections owner(conf.store);
    for (const char* id : {"a", "b", "c"})
        owner.add(id, id, [&log, id] { return std::make_unique<Probe>(id, log); });
    owner.startAll();
    EXPECT_EQ(log, QStringList({"a:start 1", "b:start 2"}));
    log.clear();
    conf.store.write("b", {{"Port", "20"}});
    conf.store.write("b", {{"Other", "x"}});   // not read by it: it runs on
    conf.store.write("c", {{"Enabled", "1"}});
    EXPECT_EQ(log, QStringList({"b:stop", "b:start 20", "c:start 3"}));
    log.clear();
    owner.stopAll();
    EXPECT_EQ(log, QStringList({"c:stop", "b:stop", "a:stop"}));
}

// A connection whose module is not there is a fault that names it; the others run.
TEST(Connections, AMissingModuleIsAFaultAndTheRestRuns)
{
    Conf conf;
    conf.write("[gone]\nEnabled=yes\n[a]\nEnabled=yes\nPort=1\n");
    QStringList log;
    Console console;
    Connections owner(conf.store);
    owner.add("gone", "gone", moduleConnection("gone", "gone", "libtavrelia_gone.so", console));
    owner.add("a", "a", [&log] { return std::make_unique<Probe>("a", log); });
    owner.startAll();
    EXPECT_EQ(owner.state("gone"), Connection::State::Fault);
    EXPECT_TRUE(owner.reason("gone").startsWith("its module libtavrelia_gone.so cannot be loaded: "))
        << owner.reason("gone").toStdString();
    EXPECT_EQ(log, QStringList({"a:start 1"}));
}
