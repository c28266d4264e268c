#include "editing/channel_names.h"

#include <algorithm>

#include "editing/code_page_1251.h"

namespace tavrelia {

namespace {
constexpr char kSpace = ' ';
}  // namespace

ChannelNames::ChannelNames(ShowImage& image, const ChannelDesk& desk, ConsoleLock& lock)
    : image_(image), desk_(desk), lock_(lock)
{
    NameBuffer_.fill(kSpace);
}

void ChannelNames::clearAll()
{
    {
        auto g = lock_.hold();
        image_.clearNames();
    }
    emit changed();
}

uint8_t* ChannelNames::nameBytes(int strip)
{
    return image_.data() + ShowImage::nameAddress(desk_.channelOf(strip));
}

QString ChannelNames::LoadEdit(int strip)
{
    auto g = lock_.hold();
    uint8_t* name = nameBytes(strip);
    std::replace(name, name + kNameSize, uint8_t{0}, uint8_t{kSpace});
    for (int i = kNameSize - 1; i >= 0 && name[i] == kSpace; --i)
        name[i] = 0;
    std::copy_n(name, kNameSize, NameBuffer_.begin());
    const auto end = std::find(NameBuffer_.begin(), NameBuffer_.end(), '\0');
    return CodePage1251::decode(QByteArrayView(NameBuffer_.data(), end - NameBuffer_.begin()));
}

void ChannelNames::SaveEdit(int strip)
{
    auto g = lock_.hold();
    std::copy(NameBuffer_.begin(), NameBuffer_.end(), nameBytes(strip));
    NameBuffer_.fill(kSpace);
}

void ChannelNames::SaveEditAll(const Fields& fields)
{
    auto g = lock_.hold();
    NameBuffer_.fill(kSpace);
    for (int i = 1; i <= ChannelDesk::kStrips; ++i) {
        // One byte per character in this code page; what it lacks comes out as the
        // substitute control byte, shown as '?' instead.
        QByteArray text = CodePage1251::encode(QStringView(fields[i - 1]).left(kNameSize));
        text.replace(CodePage1251::kSubstitute, '?');
        std::copy_n(text.begin(), std::min<qsizetype>(text.size(), kNameSize), NameBuffer_.begin());
        SaveEdit(i);
    }
}

void ChannelNames::Edit2Exit(const Fields& fields)
{
    {
        auto g = lock_.hold();
        SaveEditAll(fields);
        uint8_t* names = image_.data() + ShowImage::kNamesBase;
        std::replace(names, names + ShowImage::kNamesClearSize, uint8_t{kSpace}, uint8_t{0});
    }
    emit stored();
}

ChannelNames::Fields ChannelNames::ReturnName()
{
    Fields fields;
    for (int i = 1; i <= ChannelDesk::kStrips; ++i)
        fields[i - 1] = LoadEdit(i);
    return fields;
}

QString ChannelNames::storedName(const ShowImage& image, int channel)
{
    // The desk's field keeps inside spaces as zero bytes once it is left: read as
    // LoadEdit reads them, so every reader shows the name the field shows.
    QByteArray name(reinterpret_cast<const char*>(image.data() + ShowImage::nameAddress(channel)), kNameSize);
    name.replace('\0', kSpace);
    while (name.endsWith(kSpace))
        name.chop(1);
    return CodePage1251::decode(name);
}

}  // namespace tavrelia
