#pragma once

#include "output/automat_output.h"
#include "playback/automat.h"

namespace tavrelia {

// The two chase automats and their share of the output tick.
class Automats : public AutomatOutput {
public:
    explicit Automats(Automat::Parts parts) : avtomat1(parts, 1), avtomat2(parts, 2) {}

    // Automat 2 goes last, so it wins where the two overlap.
    void OutJobAvtomats(DmxFrame& frame, const ConsoleLock::Guard& held) override
    {
        avtomat1.writeTo(frame, held);
        avtomat2.writeTo(frame, held);
    }

    Automat& operator[](int number) { return number == 1 ? avtomat1 : avtomat2; }

    Automat avtomat1;
    Automat avtomat2;
};

}  // namespace tavrelia
