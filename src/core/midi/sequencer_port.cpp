#include "midi/sequencer_port.h"

#include <dlfcn.h>

#include <string>

#include "program_module.h"

namespace tavrelia {

namespace {

using Make = SequencerPort* (*)();

class UnloadedPort : public SequencerPort {
public:
    explicit UnloadedPort(QString why) : why_(std::move(why)) {}
    bool open() override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    QString error() const override { return why_; }
    QString address() const override { return {}; }
    void send(const QByteArray&) override {}

private:
    QString why_;
};

}  // namespace

std::unique_ptr<SequencerPort> SequencerPort::make()
{
    static constexpr const char* kModule = "libtavrelia_alsa_midi.so";
    std::string errors;
    if (void* module = loadProgramModule(kModule, errors)) {
        if (auto make = reinterpret_cast<Make>(::dlsym(module, "tavreliaSequencerPort")))
            return std::unique_ptr<SequencerPort>(make());
        errors = ::dlerror();
    }
    return std::make_unique<UnloadedPort>(QStringLiteral("the ALSA sequencer's module %1 cannot be loaded: %2")
                                              .arg(QString::fromLatin1(kModule),
                                                   QString::fromLocal8Bit(errors).trimmed()));
}

}  // namespace tavrelia
