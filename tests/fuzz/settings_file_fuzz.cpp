// Tavy.ini, both ways. Whatever a file holds, the names read from it are written
// back so that they read the same. Whatever names the program holds (a conveyor
// file may be called anything the file system allows), writing them never puts
// anything else into the file: each name reads back as itself, or as empty when the
// format cannot hold it (a line break), and no other entry changes.

#include "console.h"
#include "fuzz_support.h"

using namespace tavrelia;

namespace {

bool same(const SettingsFile& a, const SettingsFile& b)
{
    return a.conveyorFiles == b.conveyorFiles && a.lastFile == b.lastFile;
}

SettingsFile writtenAndRead(const fuzz::Sandbox& sandbox, const SettingsFile& settings)
{
    const QString path = sandbox.path(QStringLiteral("written.ini"));
    FUZZ_REQUIRE(settings.write(path).isEmpty());
    return SettingsFile::read(path);
}

// The twenty-one names the program would hold, from the input split at NUL bytes.
SettingsFile heldNames(const QByteArray& input)
{
    SettingsFile settings;
    const QList<QByteArray> parts = input.split('\0');
    for (int i = 0; i < parts.size() && i <= SettingsFile::kConveyorFiles; ++i) {
        QString& name = i < SettingsFile::kConveyorFiles ? settings.conveyorFiles[i] : settings.lastFile;
        name = QString::fromUtf8(parts[i]);
    }
    return settings;
}

QString keptName(const QString& name)
{
    return name.contains(QLatin1Char('\n')) ? QString() : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static Console console;
    const QByteArray input = fuzz::bytesOf(data, size);

    const SettingsFile read = SettingsFile::read(sandbox.write(QStringLiteral("Tavy.ini"), input));
    FUZZ_REQUIRE(same(writtenAndRead(sandbox, read), read));
    // The conveyor's buttons are made from what was read.
    console.settings = read;
    console.conveyor.ReadIniFile();

    const SettingsFile held = heldNames(input);
    SettingsFile expected = held;
    for (QString& name : expected.conveyorFiles)
        name = keptName(name);
    expected.lastFile = keptName(held.lastFile);
    FUZZ_REQUIRE(same(writtenAndRead(sandbox, held), expected));
    return 0;
}
