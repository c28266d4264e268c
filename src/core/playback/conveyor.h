#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

#include "console_lock.h"
#include "show/atomic_file.h"
#include "show/settings_file.h"
#include "show/show_files.h"
#include "show/show_image.h"

namespace tavrelia {

class Sequencer;

// Up to twenty show files on twenty buttons. In hand mode a button (or its key)
// loads its show at once; in the two list modes every wrap of the sequencer loads
// the next pressed, bound button's show, so an evening of shows runs by itself.
// The file names are those of Tavy.ini's Konveir section.
class Conveyor : public QObject {
    Q_OBJECT
public:
    static constexpr int kButtons = 20;
    static constexpr int kBoundNameLength = 7;     // a name bound now
    static constexpr int kStartUpNameLength = 8;   // a name read from Tavy.ini
    enum class Mode { Hand, Off, List, ListBegin };

    struct Button {
        bool pressed = false;
        bool bound = false;   // shown navy and bold; empty ones red
        QString caption = QStringLiteral("(пусто)");
    };

    // The file names of Tavy.ini, the loads, the show's current scene, and the
    // sequencer that the mode buttons start and stop.
    struct Parts {
        SettingsFile& settings;
        ShowFiles& showFiles;
        ShowImage& image;
        Sequencer& sequencer;
        ConsoleLock& lock;
    };
    explicit Conveyor(Parts parts, QObject* parent = nullptr);

    // Button n = 1..20.
    const Button& button(int n) const { return buttons_[n - 1]; }
    const QString& fileOf(int n) const;
    Mode mode() const { return mode_; }
    bool listMode() const { return mode_ == Mode::List || mode_ == Mode::ListBegin; }
    // LabelKonveyr: the last show the conveyor loaded.
    const QString& label() const { return label_; }
    int ConveyorPosition = 1;

    // The file name without its directory, cut to `length` characters, without the
    // extension that remains within them.
    static QString shortName(const QString& fileName, int length);
    // The short name of the open dialog's file name, as the buttons show it.
    QString ConvertorFileName() const;
    // Button 1..19 of a key's virtual-key code (Q, W, E ... L), else 0.
    static int buttonOfKey(int virtualKey);

    // Captions and fonts from the file names just read from Tavy.ini.
    void ReadIniFile();
    // A file chosen for button n with the right mouse button. The open dialog keeps
    // the name; the button's pressed state does not change.
    void bind(int n, const QString& fileName);
    // Every button empty and released (the caller has asked first).
    void SpeedButtonKonvNewClick();

    // A click toggles the button, then runs its hand-mode job.
    void SpeedButtonClick(int n);
    // Hand mode only: button n alone pressed, and its show loaded when it has one.
    void SpeedButtonJob(int n);
    // The conveyor key with this code, if it is one: its button's job. The caller
    // checks that the conveyor keys are switched on.
    bool keyJob(int virtualKey);

    // The four mode buttons: hand and off stop the show; the list modes make one
    // advance at once and play.
    void setMode(Mode mode);

    // The show of the open dialog's file name from its scene 0; play goes on.
    void ManualLoad();
    // The list advance: the next pressed, bound button at or after the position.
    // withLock runs under the same lock as the show swap, after the scene is set to 0.
    void KonveyrJob(const ShowFiles::WithLock& withLock = {});

signals:
    void changed();
    // After every load attempt (done, missing or failed), for the window to report
    // and refresh.
    void loaded(const tavrelia::FileResult& result);

private:
    void releaseAll();
    // Button n's key, the separator and the text; button 20 has no key.
    static QString captionOf(int n, const QString& text, const char* separator,
                             const char* withoutKey);

    SettingsFile& settings_;
    ShowFiles& showFiles_;
    ShowImage& image_;
    Sequencer& sequencer_;
    ConsoleLock& lock_;
    std::array<Button, kButtons> buttons_{};
    Mode mode_ = Mode::Hand;
    QString label_ = QStringLiteral("No job");
};

}  // namespace tavrelia
