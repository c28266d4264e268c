// Tavrelia.conf of any content, through the one store, every group of it: what is read
// is within range, every bad value is named with its group, key and value; written
// back, each group reads the same without a problem, or, when the file cannot be
// written, the file is left as it was.

#include "control/pin_owner.h"
#include "fuzz_support.h"
#include "midi/midi_map.h"
#include "midi/midi_surface.h"
#include "output/interface_settings.h"
#include "remote/remote_settings.h"
#include "settings/settings_store.h"
#include "surfaces/osc_settings.h"
#include "timecode/timecode_settings.h"

using namespace tavrelia;

namespace {

struct Read {
    InterfaceSettings interface;
    OscSettings osc;
    RemoteSettings remote;
    TimecodeSettings timecode;
    QStringList problems;
};

Read readAll(const SettingsStore& store)
{
    Read read;
    read.interface = store.read<InterfaceSettings>(&read.problems);
    read.osc = store.read<OscSettings>(&read.problems);
    read.remote = store.read<RemoteSettings>(&read.problems);
    read.timecode = store.read<TimecodeSettings>(&read.problems);
    return read;
}

bool named(const QString& problem)
{
    return problem.startsWith(QLatin1Char('[')) && problem.contains(QLatin1String("] ")) &&
           problem.contains(QLatin1Char('='));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    const QString path = sandbox.path(QStringLiteral("Tavrelia.conf"));
    const QByteArray input = fuzz::bytesOf(data, size);
    fuzz::writeFile(path, input);
    SettingsStore store(path);

    const Read read = readAll(store);
    FUZZ_REQUIRE(std::all_of(read.problems.begin(), read.problems.end(), named));
    FUZZ_REQUIRE(read.interface.olaPort >= 1 && read.osc.port >= 1 && read.remote.port >= 1);
    FUZZ_REQUIRE(TimecodeSettings::kSources.contains(read.timecode.source) && read.timecode.jumpFrames >= 1 &&
                 read.timecode.freewheelFrames >= 0);
    FUZZ_REQUIRE(read.osc.address.isEmpty() || SettingsStore::numericAddress(read.osc.address));
    FUZZ_REQUIRE(read.remote.address.isEmpty() || SettingsStore::numericAddress(read.remote.address));
    const PinOwner pins(store);
    FUZZ_REQUIRE(pins.pin().isEmpty() || PinGuard::valid(pins.pin()));
    QList<MidiMap::Fault> faults;
    const MidiMap map = MidiMap::read(store.group(MidiMap::kGroup), &MidiSurface::refusal, &faults);

    const bool written = read.interface.save(store) && read.osc.save(store) && read.remote.save(store);
    if (!written) {
        FUZZ_REQUIRE(fuzz::readAll(path) == input);
        return 0;
    }
    const Read again = readAll(store);
    FUZZ_REQUIRE(again.problems.isEmpty());
    FUZZ_REQUIRE(again.interface == read.interface && again.osc == read.osc && again.remote == read.remote);
    // Other groups' lines stay: the map and the PIN read as before.
    FUZZ_REQUIRE(PinOwner(store).pin() == pins.pin());
    QList<MidiMap::Fault> faultsAgain;
    FUZZ_REQUIRE(MidiMap::read(store.group(MidiMap::kGroup), &MidiSurface::refusal, &faultsAgain).entries() ==
                 map.entries());
    FUZZ_REQUIRE(faultsAgain.size() == faults.size());
    return 0;
}
