#pragma once

#include "output/automat_output.h"
#include "playback/automat.h"

namespace tavrelia {

class Console;

// The two chase automats and their share of the output tick.
class Automats : public AutomatOutput {
public:
    explicit Automats(Console& console) : avtomat1(console, 1), avtomat2(console, 2) {}

    // Automat 2 goes last, so it wins where the two overlap.
    void OutJobAvtomats(DmxFrame& frame) override
    {
        avtomat1.writeTo(frame);
        avtomat2.writeTo(frame);
    }

    Automat& operator[](int number) { return number == 1 ? avtomat1 : avtomat2; }

    Automat avtomat1;
    Automat avtomat2;
};

}  // namespace tavrelia
