// Recoding tables (.tvd) of any length. A short one is refused and leaves the table as
// it was; a whole one sets entries 0..255 from its first 512 bytes, is saved back the
// same, and the tick routes through it without reading outside the frame: an entry
// beyond the frame gives level 0.

#include "console.h"
#include "fuzz_support.h"
#include "output/recode_table_file.h"

using namespace tavrelia;

namespace {

// Scene 0 holds level c on channel c, so a routed slot shows which channel it took.
void prepare(Console& console)
{
    auto guard = console.lock();
    for (int channel = 1; channel < 256; ++channel)
        console.image.DataWrite(0, static_cast<uint8_t>(channel), channel);
    console.image[ShowImage::kCurrentScene] = 0;
    console.controls.transitionMode = OutputEngine::Vykl;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static Console console;
    static const bool prepared = (prepare(console), true);
    (void)prepared;

    const auto before = console.dmx.RecodeTable;
    const QByteArray input = fuzz::bytesOf(data, size);
    QString error;
    const bool loaded = RecodeTableFile::load(console.dmx.RecodeTable, console.consoleLock,
                                              sandbox.write(QStringLiteral("input.tvd"), input), &error);

    if (size < static_cast<size_t>(RecodeTableFile::kFileSize)) {
        FUZZ_REQUIRE(!loaded);
        FUZZ_REQUIRE(!error.isEmpty());
        FUZZ_REQUIRE(console.dmx.RecodeTable == before);
        return 0;
    }
    FUZZ_REQUIRE(loaded);
    for (int i = 0; i < RecodeTableFile::kEntries; ++i)
        FUZZ_REQUIRE(console.dmx.RecodeTable[i] == (data[2 * i] | data[2 * i + 1] << 8));
    for (size_t i = RecodeTableFile::kEntries; i < before.size(); ++i)
        FUZZ_REQUIRE(console.dmx.RecodeTable[i] == before[i]);

    const QString saved = sandbox.path(QStringLiteral("saved.tvd"));
    FUZZ_REQUIRE(RecodeTableFile::save(console.dmx.RecodeTable, saved, &error));
    FUZZ_REQUIRE(fuzz::readAll(saved) == input.left(RecodeTableFile::kFileSize));

    {
        // Slot 0 keeps what the previous table routed into it: start from zero.
        auto guard = console.lock();
        console.dmx.OutputFrame[0] = 0;
    }
    console.output.OutputTick();
    auto guard = console.lock();
    for (int slot = 1; slot < RecodeTableFile::kEntries; ++slot) {
        const int source = console.dmx.RecodeTable[slot];
        const int expected = source >= 1 && source <= 255 ? source : 0;
        FUZZ_REQUIRE(console.dmx.OutputFrame[slot] == expected);
    }
    return 0;
}
