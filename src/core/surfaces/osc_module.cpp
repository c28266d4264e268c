// The OSC module's entry: its connection, for the core's owner to run.

#include "console.h"
#include "surfaces/osc_connection.h"

extern "C" tavrelia::Connection* tavreliaConnection(tavrelia::Console& console)
{
    return new tavrelia::OscConnection(console.named, console.pins);
}
