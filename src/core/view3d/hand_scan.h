#pragma once

#include <QObject>

#include <cstdint>

#include "console_lock.h"
#include "output/control_state.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

// The hand scan pad's logic: the mouse on a 256 x 256 pad becomes an X and a Y value
// that go into the X/Y channel pairs of every selected channel of the current scene
// and, with priority on, over the output (the tick reads the control state).
// Every selected channel is the X channel of a pair whose Y is the next channel.
class HandScan : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool invertX = false;
        bool invertY = false;
        bool swap = false;   // applied after the inversions
    };
    struct Result {
        uint8_t x = 0;
        uint8_t y = 0;
        bool written = false;            // a button was held: HandX/HandY and the scene took it
        bool selectionChanged = false;   // a Y channel's selection mark was removed
    };

    // The show's selection and scene, the pair and the priority the tick lays over the
    // output, and the play state that keeps the scene from being written.
    struct Parts {
        ShowImage& image;
        ControlState& controls;
        const PlayState& play;
        ConsoleLock& lock;
    };
    explicit HandScan(Parts parts) : parts_(parts) {}

    Result mouseDown(int column, int row, const Options& options);
    // Also without a button held: then only the values are worked out.
    Result mouseMove(int column, int row, const Options& options);
    // Mouse up, and opening the window.
    void endDrag() { drag_ = false; }
    bool dragging() const { return drag_; }
    int column() const { return column_; }
    int row() const { return row_; }

    Result calcMouse(const Options& options);
    // The pair itself, as a held drag puts it out (a remote's pad).
    void put(uint8_t x, uint8_t y) { writeSelectedPairs(x, y); }

    void setPriority(bool on);
    bool priority() const;

    uint8_t startCode() const;
    void setStartCode(uint8_t value);

signals:
    // The pair went out: HandX/HandY and the selected pairs of the scene took it.
    void moved(int x, int y);

private:
    void place(int column, int row);
    bool writeSelectedPairs(uint8_t x, uint8_t y);
    bool writePairs(uint8_t x, uint8_t y);

    Parts parts_;
    bool drag_ = false;
    int column_ = 0;
    int row_ = 0;
};

}  // namespace tavrelia
