// Tavrelia.conf of any content. What is read is within range (a port above 0, a
// device path); an unknown backend is named in a message and read as ftdi. Saving
// it writes what reads back the same, or, when the file cannot be written, leaves
// it as it was.

#include "fuzz_support.h"
#include "output/interface_settings.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    // A folder of its own for every input: QSettings keeps files it has read and
    // would take a rewrite within the same millisecond for the file it knows.
    static unsigned run = 0;
    QDir(sandbox.path(QStringLiteral("config/%1").arg(run))).removeRecursively();
    const QString config = sandbox.path(QStringLiteral("config/%1").arg(++run));
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    QDir().mkpath(config + QStringLiteral("/Tavrelia"));
    const QByteArray input = fuzz::bytesOf(data, size);
    fuzz::writeFile(InterfaceSettings::filePath(), input);

    QString error;
    const InterfaceSettings read = InterfaceSettings::load(&error);
    FUZZ_REQUIRE(read.olaPort >= 1);
    FUZZ_REQUIRE(!read.serialDevice.isEmpty());
    FUZZ_REQUIRE(error.isEmpty() || read.backend == InterfaceSettings::Backend::Ftdi);
    makeUsbDriver(read);

    if (!read.save()) {
        FUZZ_REQUIRE(fuzz::readAll(InterfaceSettings::filePath()) == input);
        return 0;
    }
    QString again;
    FUZZ_REQUIRE(InterfaceSettings::load(&again) == read);
    FUZZ_REQUIRE(again.isEmpty());
    return 0;
}
