#pragma once

// Runs this program again inside a network namespace of its own with only the
// loopback up, for whatever multicasts on every interface (Ableton Link's discovery):
// nothing leaves the machine. Needs root, or the right to make namespaces.

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tavrelia::wire {

// Returns only where the program is already inside (true), or cannot get there
// (false, with the reason in why).
inline bool enterOwnNetwork(int argc, char** argv, std::string* why)
{
    if (std::getenv("TAVRELIA_OWN_NETWORK"))
        return true;
    if (std::system("unshare -n true 2>/dev/null") != 0) {
        *why = "no network namespace of its own here (unshare -n is not permitted)";
        return false;
    }
    setenv("TAVRELIA_OWN_NETWORK", "1", 1);
    std::vector<char*> args{const_cast<char*>("unshare"), const_cast<char*>("-n"), const_cast<char*>("sh"),
                            const_cast<char*>("-c"), const_cast<char*>("ip link set lo up && exec \"$0\" \"$@\"")};
    args.insert(args.end(), argv, argv + argc);
    args.push_back(nullptr);
    execvp("unshare", args.data());
    *why = "unshare could not be started";
    return false;
}

}  // namespace tavrelia::wire
