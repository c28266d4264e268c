// tavrEdit.col of any length. A short one is refused and leaves every table as it
// was; a whole one is taken in (its reserved ranges aside), saved back the same and
// read again unchanged, and the 3D feed built from its placement stays in bounds.

#include "console.h"
#include "fuzz_support.h"

using namespace tavrelia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static Console console;
    ColorFile& colorFile = console.colorFile;

    const QByteArray before = colorFile.bytes();
    const QByteArray input = fuzz::bytesOf(data, size);
    const ColorFile::Result result =
        colorFile.LoadColorEdit(sandbox.write(QStringLiteral("input.col"), input));

    if (size < static_cast<size_t>(ColorFile::kFileSize)) {
        FUZZ_REQUIRE(result.status == ColorFile::Result::Status::Failed);
        FUZZ_REQUIRE(!result.error.isEmpty());
        FUZZ_REQUIRE(colorFile.bytes() == before);
        return 0;
    }
    FUZZ_REQUIRE(result.done());
    const QByteArray taken = colorFile.bytes();
    FUZZ_REQUIRE(taken.size() == ColorFile::kFileSize);
    for (int i = 0; i < ColorFile::kFileSize; ++i)
        FUZZ_REQUIRE(taken[i] == input[i] || taken[i] == 0);   // a reserved byte is not kept

    const QString saved = sandbox.path(QStringLiteral("saved.col"));
    FUZZ_REQUIRE(colorFile.SaveColorEdit(saved).done());
    FUZZ_REQUIRE(fuzz::readAll(saved) == taken);
    FUZZ_REQUIRE(colorFile.LoadColorEdit(saved).done());
    FUZZ_REQUIRE(colorFile.bytes() == taken);

    console.output.OutputTick();
    return 0;
}
