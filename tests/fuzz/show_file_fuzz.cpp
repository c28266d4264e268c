// Show files of any length. A short one is refused and changes nothing; a whole one
// becomes the show byte for byte, the autosave writes it back the same, and playing
// it reads nothing outside the show, the frame or the tables.

#include "console.h"
#include "fuzz_support.h"

using namespace tavrelia;

namespace {

QByteArray imageBytes(const ShowImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
}

// What the program does with a show it has just opened: the tempo and the graph's
// zoom from its system bytes, the channel names, both automats from their stored
// settings, and a few periods of play in every transition mode with all the live
// overlays on.
void play(Console& console)
{
    console.sequencer.TempStatus();
    console.levelGraph.setZoomPosition(LevelGraph::zoomPositionFor(console.image.lastScene()));
    for (int channel = 1; channel < 256; ++channel)
        ChannelNames::storedName(console.image, channel);
    for (Automat* automat : {&console.automats.avtomat1, &console.automats.avtomat2}) {
        automat->TempAvtomatStatus();
        automat->setChannel(automat->storedChannel());
        automat->setProgram(automat->storedMode());
        automat->setRunAlone(true);
    }
    console.sequencer.ModePlay();
    for (int mode : {OutputEngine::Fadera, OutputEngine::Avtomat, OutputEngine::Vykl}) {
        {
            auto guard = console.lock();
            ControlState& controls = console.controls;
            controls.transitionMode = mode;
            controls.pictures.fill(mode == OutputEngine::Vykl);
            controls.macroOut = controls.manual = controls.handPriority = mode != OutputEngine::Fadera;
            controls.stripChecked.fill(true);
            controls.pageOffset = 250;
        }
        console.sequencer.TimerSeqveserTimer();
        console.automats.avtomat1.TimerTempAvtomatTimer();
        console.automats.avtomat2.TimerTempAvtomatTimer();
        console.output.OutputTick();
    }
    console.sequencer.ModeStop();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::Sandbox sandbox;
    static Console console;
    ShowFiles& files = console.showFiles;

    const QByteArray before = imageBytes(console.image);
    const QString nameBefore = files.saveFileName;
    files.openFileName = sandbox.write(QStringLiteral("input.tvl"), fuzz::bytesOf(data, size));
    const ShowFiles::Result result = files.BlocOpenFile();

    if (size < static_cast<size_t>(ShowImage::kImageSize)) {
        FUZZ_REQUIRE(result.status == ShowFiles::Result::Status::Failed);
        FUZZ_REQUIRE(!result.error.isEmpty());
        FUZZ_REQUIRE(imageBytes(console.image) == before);
        FUZZ_REQUIRE(files.saveFileName == nameBefore);
        return 0;
    }
    const QByteArray show = fuzz::bytesOf(data, ShowImage::kImageSize);
    FUZZ_REQUIRE(result.done());
    FUZZ_REQUIRE(imageBytes(console.image) == show);
    FUZZ_REQUIRE(files.saveFileName == files.openFileName);
    FUZZ_REQUIRE(files.autosave().done());
    FUZZ_REQUIRE(fuzz::readAll(console.folder.autosaveFile()) == show);
    play(console);
    return 0;
}
