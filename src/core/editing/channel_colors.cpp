#include "editing/channel_colors.h"

#include <algorithm>

namespace tavrelia {

namespace {
constexpr int kClearedEntries = ChannelColors::kSize - 1;

void fillCleared(ChannelColors::Table& table, uint8_t value)
{
    std::fill_n(table.begin(), kClearedEntries, value);
}
}  // namespace

ChannelColors::ChannelColors()
{
    NameRed.fill(kStartRed);
    NameGreen.fill(kStartGreen);
    NameBlue.fill(kStartBlue);
}

void ChannelColors::setNameColor(int channel, Rgb color)
{
    NameRed[channel] = color.red;
    NameGreen[channel] = color.green;
    NameBlue[channel] = color.blue;
    emit changed(channel);
}

void ChannelColors::setGroupColor(int channel, Rgb color)
{
    GroupRed[channel] = color.red;
    GroupGreen[channel] = color.green;
    GroupBlue[channel] = color.blue;
    emit changed(channel);
}

void ChannelColors::setPicture(int channel, uint8_t picture)
{
    ChannelPicture[channel] = picture;
    emit changed(channel);
}

void ChannelColors::setEditChannel(int channel)
{
    ColorEditChannel = channel;
    emit editChannelChanged(channel);
}

bool ChannelColors::setEditedComponent(int component, uint8_t value)
{
    if (ColorEditChannel < 0 || ColorEditChannel >= kSize)
        return false;
    Table* tables[] = {&NameRed, &NameGreen, &NameBlue};
    (*tables[component])[ColorEditChannel] = value;
    emit changed(ColorEditChannel);
    return true;
}

void ChannelColors::clearNameColors()
{
    for (Table* table : {&NameRed, &NameGreen, &NameBlue})
        fillCleared(*table, 255);
    emit changed(-1);
}

void ChannelColors::clearPictures()
{
    fillCleared(ChannelPicture, 255);
    emit changed(-1);
}

void ChannelColors::clearGroupColors(Rgb windowColor)
{
    fillCleared(GroupRed, windowColor.red);
    fillCleared(GroupGreen, windowColor.green);
    fillCleared(GroupBlue, windowColor.blue);
    emit changed(-1);
}

}  // namespace tavrelia
