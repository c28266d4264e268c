#pragma once

#include <QString>

#include "connections/connections.h"

namespace tavrelia {

class Console;

// A connection whose code and libraries live in a module of their own (OSC and liblo,
// the phone remote and Qt's network): the factory loads the module the first time the
// connection is wanted and asks it for the connection. A module that is missing or
// will not load gives a connection that says so as its fault; the rest of the desk
// runs on.
//
// A module exports, with C linkage:
//     tavrelia::Connection* tavreliaConnection(tavrelia::Console& console);
Connections::Factory moduleConnection(const QString& id, const QString& group, const char* fileName,
                                      Console& console);

}  // namespace tavrelia
