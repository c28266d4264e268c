#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <utility>

namespace tavrelia {

class Controls;
class ShowImage;

// The live controls by name, as the remotes address them ("fader/3", "picture/12",
// "scene"...): one message checked whole and applied, every state read by name, and a
// signal for each state that changed. The phone page, OSC and MIDI all go through
// here, so a name means the same on each of them.
//
// Thread: the user-interface thread, like the controls themselves.
class NamedControls : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        Press,    // a button: 1 press, 0 release
        Switch,   // 0 or 1
        Level,    // an integer min..max
        Word,     // one of words
        Pair,     // two integers min..max (the hand-scan pad's x and y)
        Text,     // read only
    };
    struct Info {
        QString name;
        Kind kind;
        int min = 0;
        int max = 1;
        QStringList words;
        bool writable = true;
    };

    // The controls and the show whose channel names the strips carry.
    NamedControls(Controls& controls, const ShowImage& image, QObject* parent = nullptr);

    // Every name, with its number written out ("fader/1" .. "fader/27").
    static const QList<Info>& all();
    static const Info* find(QStringView name);

    // Checks one message and applies it. On any fault (unknown name, a state that
    // cannot be set, a value of the wrong type or out of range) nothing changes and
    // the reason comes back. Values: an integer (or a double without a fraction), a
    // string for a word, a list of two integers for a pair; none at all is a press.
    std::optional<QString> apply(QStringView name, const QVariant& value = {});
    // What apply would refuse, without acting.
    static std::optional<QString> refusal(QStringView name, const QVariant& value = {});
    // A value as a line of text gives it ("12", "vykl", "10 20", none for a press),
    // in the type apply takes for the name.
    static QVariant valueOfText(QStringView name, const QString& text);

    // One state now: an int, or a string for words and texts; a two-int list for a pair.
    QVariant value(QStringView name) const;
    // Every state now, for a client that has just come.
    QList<std::pair<QString, QVariant>> snapshot() const;

signals:
    // A state changed, whoever changed it. Sent once per turn of the event loop for
    // everything that changed in it, never under the console lock.
    void changed(const QString& name, const QVariant& value);

public slots:
    // Something the controls do not announce changed (a channel's name): the states
    // are looked at again.
    void scheduleScan();

private:
    void scan();

    Controls& controls_;
    const ShowImage& image_;
    QList<QVariant> shown_;   // by the index of all()
    bool scanPending_ = false;
};

}  // namespace tavrelia
