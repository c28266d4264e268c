#pragma once

#include <array>
#include <cstdint>

#include <QObject>
#include <QString>

#include "console_lock.h"
#include "editing/channel_desk.h"
#include "show/show_image.h"

namespace tavrelia {

// Channel names in the show: 16 bytes of code page 1251 per channel, no length
// byte, spaces kept as zero bytes. Names move between the store and the desk's 27
// name fields through one 16-character buffer.
class ChannelNames : public QObject {
    Q_OBJECT
public:
    static constexpr int kNameSize = 16;
    using Fields = ChannelDesk::Strips<QString>;

    // The names live in the show; the desk says which channel a strip shows.
    ChannelNames(ShowImage& image, const ChannelDesk& desk, ConsoleLock& lock);

    // Rewrites the name of strip 1..27 in the store (zero bytes to spaces, then
    // trailing spaces back to zeros), copies it into the buffer and returns what its
    // field shows: the text up to the first zero byte.
    QString LoadEdit(int strip);
    // The buffer into the name of strip 1..27; the buffer becomes 16 spaces again.
    void SaveEdit(int strip);
    // Every field, cut to 16 characters, into the store.
    void SaveEditAll(const Fields& fields);
    // Leaving a name field: store all fields, then every space of the names region
    // becomes a zero byte.
    void Edit2Exit(const Fields& fields);
    // The 27 field texts of the current page.
    Fields ReturnName();
    // Any channel's name as its desk field shows it: zero bytes read as spaces, the
    // trailing ones dropped. Channel 256 reads the bytes just past the names.
    static QString storedName(const ShowImage& image, int channel);

    // The clearing menu: every name empty.
    void clearAll();
    // A block operation wrote names straight into the show.
    void namesWritten() { emit changed(); }

signals:
    // Names changed other than through the desk's own fields.
    void changed();
    // The desk's fields were stored: other readers of the names look again.
    void stored();

private:
    uint8_t* nameBytes(int strip);

    ShowImage& image_;
    const ChannelDesk& desk_;
    ConsoleLock& lock_;
    std::array<char, kNameSize> NameBuffer_;
};

}  // namespace tavrelia
