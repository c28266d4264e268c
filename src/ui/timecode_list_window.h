#pragma once

#include <QDialog>

class QLabel;
class QTableWidget;

namespace tavrelia {

class Console;

// The show's timecode list as a table: time and action a row, in time order. A cell
// edited is checked whole (a bad time or action is refused and said); rows are added
// at the current time with the current scene, deleted, moved by a frame, and every
// change can be taken back. Each change is written to the list's file at once.
class TimecodeListWindow : public QDialog {
    Q_OBJECT
public:
    TimecodeListWindow(Console& console, QWidget* parent);

private:
    void fill(int select = -1);
    void edited(int row, int column);
    void add();
    void remove();
    void shift(int frames);
    void undo();
    int current() const;

    Console& console_;
    QTableWidget* table_ = nullptr;
    QLabel* note_ = nullptr;
    bool filling_ = false;
};

}  // namespace tavrelia
