#pragma once

#include <array>
#include <cstdint>

namespace tavrelia {

// The whole show as one flat byte block at fixed offsets. Every editor works on it
// in place; a show file is this block written out byte for byte.
// Not thread-safe by itself: writers hold the console lock (see ConsoleLock).
class ShowImage {
public:
    static constexpr int kImageSize = 81920;   // bytes saved and loaded
    static constexpr int kRecordSize = 128;
    static constexpr int kRecordCount = 640;
    static constexpr int kSceneSize = 256;
    static constexpr int kSceneCount = 256;
    static constexpr int kIdentSize = 128;

    // Regions
    static constexpr int kRatesBase = 256;
    static constexpr int kNamesBase = 512;
    static constexpr int kPicturesBase = 4608;
    static constexpr int kSelectBase = 12800;
    static constexpr int kScenesBase = 16384;
    static constexpr int kNameSize = 16;
    static constexpr int kNamesClearSize = 4081;   // what start-up and "clear names" zero
    static constexpr int kPictureSize = 512;

    // System bytes
    static constexpr int kCurrentScene = 131;
    static constexpr int kLastScene = 132;
    static constexpr int kSceneTempo = 133;
    static constexpr int kRateLevel = 136;
    static constexpr int kStartCode = 137;
    static constexpr int kColorLock = 138;
    static constexpr int kFormRed = 139;
    static constexpr int kFormGreen = 140;
    static constexpr int kFormBlue = 141;
    static constexpr int kAvtomat1Speed = 145;
    static constexpr int kAvtomat1Channel = 146;
    static constexpr int kAvtomat1Mode = 147;
    static constexpr int kAvtomat1Bright = 148;
    static constexpr int kAvtomat1Dark = 149;
    static constexpr int kAvtomat2Speed = 150;
    static constexpr int kAvtomat2Channel = 151;
    static constexpr int kAvtomat2Mode = 152;
    static constexpr int kAvtomat2Bright = 153;
    static constexpr int kAvtomat2Dark = 154;

    // Values of a new show
    static constexpr uint8_t kNewTempo = 44;
    static constexpr uint8_t kNewFormRed = 190;
    static constexpr uint8_t kNewFormGreen = 197;
    static constexpr uint8_t kNewFormBlue = 190;

    // The in-memory block has one spare byte after the saved image (index 81,920).
    using Bytes = std::array<uint8_t, kImageSize + 1>;

    // The identification block copied over bytes 0..127 before every save and by New.
    static const std::array<uint8_t, kIdentSize>& identHeader();

    static constexpr int sceneAddress(uint8_t scene) { return kScenesBase + kSceneSize * scene; }
    static constexpr int levelAddress(uint8_t scene, uint8_t channel)
    {
        return sceneAddress(scene) + channel;
    }
    static constexpr int nameAddress(int channel) { return kNamesBase + kNameSize * channel; }
    static constexpr int rateAddress(int channel) { return kRatesBase + channel; }
    static constexpr int selectAddress(int channel) { return kSelectBase + channel; }
    static constexpr int pictureFlagAddress(int picture, int channel)
    {
        return kPicturesBase + kPictureSize * picture + channel;
    }
    static constexpr int pictureLevelAddress(int picture, int channel)
    {
        return kPicturesBase + kPictureSize * picture + 256 + channel;
    }

    uint8_t& operator[](int offset) { return bytes_[offset]; }
    uint8_t operator[](int offset) const { return bytes_[offset]; }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }

    // Level accessors: writers clamp to 0..255.
    void DataWrite(uint8_t scene, uint8_t channel, int value);
    uint8_t DataRead(uint8_t scene, uint8_t channel) const;
    // Pan/tilt pair of the figure editor: x at xyChannel + 1, y at xyChannel + 2.
    void DataWriteXY(uint8_t scene, uint8_t xyChannel, int x, int y);

    uint8_t currentScene() const { return bytes_[kCurrentScene]; }
    uint8_t lastScene() const { return bytes_[kLastScene]; }
    uint8_t sceneTempo() const { return bytes_[kSceneTempo]; }

    // Start-up preparation: the names region zeroed, both automat speeds 50.
    void prepareAtStartUp();
    // The image part of a new show. Names, automat settings, RateLevel, StartCode
    // and the unused system bytes are kept.
    void resetToNewShow();
    void copyIdentHeader();
    // Zero the 4,081 bytes of the names region from its start.
    void clearNames();

    static uint8_t clampLevel(int value);

private:
    Bytes bytes_{};
};

}  // namespace tavrelia
