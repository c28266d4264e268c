// The program's command line (arguments split at NUL bytes). The player's is either
// taken, with a show to play, or refused with a reason; one the player takes is
// routed to the player and not to the window, except --help alone, which is the
// program's usage; a line the program refuses says why; and one whose files are
// refused (a short show or table beside good ones in the working folder) leaves the
// show and the recoding table as they were.

#include <unistd.h>

#include <vector>

#include "command_line.h"
#include "console.h"
#include "fuzz_support.h"
#include "output/recode_table_file.h"
#include "player/player_options.h"
#include "player/show_player.h"

using namespace tavrelia;

namespace {

constexpr int kMaxArguments = 24;

// The working folder holds a show and a table, a short one of each, and a conveyor
// list of the two shows.
struct Workspace {
    Workspace()
    {
        Console console;
        console.showFiles.SaveFileAs(sandbox.path(QStringLiteral("work/show.tvl")));
        QString error;
        RecodeTableFile::save(console.dmx.RecodeTable, sandbox.path(QStringLiteral("work/table.tvd")),
                              &error);
        sandbox.write(QStringLiteral("work/short.tvl"), QByteArray(100, '\x01'));
        sandbox.write(QStringLiteral("work/short.tvd"), QByteArray(10, '\x01'));
        SettingsFile list;
        list.conveyorFiles[0] = sandbox.path(QStringLiteral("work/show.tvl"));
        list.conveyorFiles[1] = sandbox.path(QStringLiteral("work/short.tvl"));
        list.write(sandbox.path(QStringLiteral("work/list.ini")));
        if (::chdir(sandbox.path(QStringLiteral("work")).toLocal8Bit().constData()) != 0)
            std::abort();
        quiet = std::fopen("/dev/null", "w");
    }
    fuzz::Sandbox sandbox;
    std::FILE* quiet = nullptr;
};

QByteArray state(const Console& console)
{
    QByteArray bytes(reinterpret_cast<const char*>(console.image.data()), ShowImage::kImageSize);
    bytes.append(reinterpret_cast<const char*>(console.dmx.RecodeTable.data()),
                 sizeof console.dmx.RecodeTable);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Workspace workspace;
    QList<QByteArray> parts = fuzz::bytesOf(data, size).split('\0');
    if (parts.size() > kMaxArguments)
        return 0;
    QStringList arguments;
    std::vector<char*> argv{const_cast<char*>("tavrelia")};
    for (QByteArray& part : parts) {
        arguments << QString::fromLocal8Bit(part);
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);

    const int argc = static_cast<int>(argv.size()) - 1;
    const CommandLine line = CommandLine::classify(argc, argv.data());
    FUZZ_REQUIRE((line.action == CommandLine::Action::Player) == PlayerOptions::requested(argc, argv.data()));
    FUZZ_REQUIRE((line.action == CommandLine::Action::Refused) == !line.error.isEmpty());

    QString error;
    const std::optional<PlayerOptions> options = PlayerOptions::parse(arguments, &error);
    if (!options) {
        FUZZ_REQUIRE(!error.isEmpty());
        return 0;
    }
    FUZZ_REQUIRE(options->help || options->conveyor || !options->showFile.isEmpty());
    FUZZ_REQUIRE(line.action == CommandLine::Action::Player ||
                 (options->help && line.action == CommandLine::Action::Help));
    if (options->help)
        return 0;

    Console console;
    const QByteArray before = state(console);
    ShowPlayer player(console, *options, workspace.quiet, workspace.quiet);
    // A refused command line changes nothing.
    if (player.prepare())
        FUZZ_REQUIRE(state(console) == before);
    return 0;
}
