// The LTC module's entry: the timecode source that records and decodes a sound input.

#include "console.h"
#include "timecode/ltc_connection.h"

extern "C" tavrelia::Connection* tavreliaConnection(tavrelia::Console& console)
{
    return new tavrelia::LtcConnection(console.timecode);
}
