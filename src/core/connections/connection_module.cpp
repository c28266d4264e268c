#include "connections/connection_module.h"

#include <dlfcn.h>

#include <string>

#include "program_module.h"

namespace tavrelia {

namespace {

using Make = Connection* (*)(Console&);

// Stands for a connection whose module cannot be loaded.
class MissingModule : public Connection {
public:
    MissingModule(const QString& id, const QString& group, QString why) : Connection(id, group), why_(std::move(why)) {}
    void start(SettingsStore&) override { setState(State::Fault, why_); }
    void stop() override { setState(State::Off); }

private:
    QString why_;
};

}  // namespace

Connections::Factory moduleConnection(const QString& id, const QString& group, const char* fileName,
                                      Console& console)
{
    return [=, &console]() -> std::unique_ptr<Connection> {
        std::string errors;
        // Loaded once for the rest of the run: what it made may be made again.
        if (void* module = loadProgramModule(fileName, errors)) {
            if (auto make = reinterpret_cast<Make>(::dlsym(module, "tavreliaConnection")))
                return std::unique_ptr<Connection>(make(console));
            errors = ::dlerror();
        }
        const QString why = QStringLiteral("its module %1 cannot be loaded: %2")
                                .arg(QString::fromLatin1(fileName), QString::fromLocal8Bit(errors).trimmed());
        return std::make_unique<MissingModule>(id, group, why);
    };
}

}  // namespace tavrelia
