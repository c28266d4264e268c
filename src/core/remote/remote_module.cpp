// The phone remote's module entry: its connection, for the core's owner to run.

#include "console.h"
#include "remote/remote_connection.h"

extern "C" tavrelia::Connection* tavreliaConnection(tavrelia::Console& console)
{
    return new tavrelia::RemoteConnection(console.named, console.pins);
}
