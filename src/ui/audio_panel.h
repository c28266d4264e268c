#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QProgressBar;

namespace tavrelia {

class Console;
class TBaseForm;

// The group "Звуковой вход" on the options tab, under Ableton Link: the beat heard on
// a sound input (the box in its title, kept as [Audio] Enabled in Tavrelia.conf), the
// ALSA device it listens to ([Audio] Device), the tempo found with its confidence, and
// a meter of the input's level.
class AudioPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit AudioPanel(TBaseForm& form);

private:
    void write(const QString& key, const QString& value);
    void showInput();
    void showBeat();
    void showLevel(double db);

    Console& console_;
    QLineEdit* device_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* tempo_ = nullptr;
    QLabel* confidence_ = nullptr;
    QProgressBar* level_ = nullptr;
};

}  // namespace tavrelia
