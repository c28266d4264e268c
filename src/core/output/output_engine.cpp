#include "output/output_engine.h"

#include <algorithm>

#include "console.h"
#include "output/automat_output.h"
#include "output/packet_sink.h"

namespace tavrelia {

OutputEngine::OutputEngine(Console& console)
    : console_(console), sceneAddress_(ShowImage::sceneAddress(0)), random_(std::random_device{}())
{
    txBuffer_[0] = 0xFF;
}

void OutputEngine::setSink(PacketSink* sink)
{
    auto g = console_.lock();
    sink_ = sink;
}

void OutputEngine::setAutomats(AutomatOutput* automats)
{
    auto g = console_.lock();
    automats_ = automats;
}

void OutputEngine::OutputTick()
{
    size_t length = 0;
    PacketSink* sink = nullptr;
    {
        auto g = console_.lock();
        SborDmxStroki();
        ManualDmx();
        BlankBlackOut();
        length = SendToUsb();
        sink = sink_;
    }
    // The write may take up to the device's time-out: never under the lock.
    if (length > 0)
        sink->writePacket(txBuffer_.data(), length);
}

void OutputEngine::SborDmxStroki()
{
    const ControlState& controls = console_.controls;
    sceneAddress_ = ShowImage::sceneAddress(console_.image.currentScene());
    switch (controls.transitionMode) {
    case Fadera:
        stepTowardsTarget(console_.image.data() + ShowImage::kRatesBase);
        break;
    case Avtomat:
        if (console_.PlayFlag)
            stepTowardsTarget(console_.FadeSteps.data());
        else
            jumpToScene();
        break;
    case Vykl:
        jumpToScene();
        break;
    default:   // no mode selected: the frame stays as it is
        break;
    }
    if (automats_)
        automats_->OutJobAvtomats(console_.OutputFrame);
}

// Moves each channel by its rate towards the target and stops on it. In byte
// arithmetic a sum that passes 255 or a difference that passes 0 also lands on the
// target; in int arithmetic that is simply the clamp to the target.
void OutputEngine::stepTowardsTarget(const uint8_t* rates)
{
    const uint8_t* scene = console_.image.data() + sceneAddress_;
    std::copy(scene + 1, scene + 256, TargetLevels.begin() + 1);
    DmxFrame& frame = console_.OutputFrame;
    for (int c = 1; c <= 255; ++c) {
        const int o = frame[c];
        const int t = TargetLevels[c];
        const int r = rates[c];
        frame[c] = static_cast<uint8_t>(o < t ? std::min(o + r, t) : std::max(o - r, t));
    }
}

void OutputEngine::jumpToScene()
{
    const uint8_t* scene = console_.image.data() + sceneAddress_;
    std::copy(scene + 1, scene + 256, console_.OutputFrame.begin() + 1);
}

void OutputEngine::ManualDmx()
{
    const ControlState& controls = console_.controls;
    for (int k = 0; k < ControlState::kPictures; ++k) {
        if (controls.pictures[k])
            applyPicture(k);
    }
    if (controls.manual)
        applyManualFaders();
    if (controls.handPriority)
        applyHandScan();
    if (controls.blackOut)
        std::fill_n(console_.OutputFrame.begin(), 256, uint8_t{0});
    if (controls.macroOut)
        applyPicture(ControlState::kPictures - 1);
    recode();
}

void OutputEngine::applyPicture(int picture)
{
    const uint8_t* member = console_.image.data() + ShowImage::pictureFlagAddress(picture, 0);
    const uint8_t* level = console_.image.data() + ShowImage::pictureLevelAddress(picture, 0);
    for (int i = 0; i < 256; ++i) {
        if (member[i] == 1)
            console_.OutputFrame[i] = level[i];
    }
}

// CheckBoxManualScrollBar: the checked strips of the visible desk page hold their slots.
void OutputEngine::applyManualFaders()
{
    const ControlState& controls = console_.controls;
    for (int i = 0; i < ControlState::kStrips; ++i) {
        const int channel = controls.pageOffset + i + 1;
        if (controls.stripChecked[i] && channel <= 255)
            console_.OutputFrame[channel] = controls.stripLevel[i];
    }
}

// Each selected channel takes the pad's X and the slot after it the pad's Y, so a
// selected channel 255 reaches slot 256.
void OutputEngine::applyHandScan()
{
    const ControlState& controls = console_.controls;
    const uint8_t* select = console_.image.data() + ShowImage::kSelectBase;
    for (int i = 0; i < 256; ++i) {
        if (select[i] == 1) {
            console_.OutputFrame[i] = controls.handX;
            console_.OutputFrame[i + 1] = controls.handY;
        }
    }
}

void OutputEngine::recode()
{
    DmxFrame& frame = console_.OutputFrame;
    std::copy_n(frame.begin(), 256, RecodeScratch.begin());
    for (int i = 0; i < 256; ++i) {
        const uint16_t source = console_.RecodeTable[i];
        // Only a loaded table file can hold entries beyond the frame: they select nothing.
        frame[i] = source < RecodeScratch.size() ? RecodeScratch[source] : 0;
    }
}

void OutputEngine::BlankBlackOut()
{
    const bool visible = console_.controls.blackOut ? !blackOutVisible_.load() : true;
    blackOutVisible_.store(visible, std::memory_order_relaxed);
}

size_t OutputEngine::SendToUsb()
{
    DeviceFeed& feed = console_.deviceFeed;
    if (--strobeCountdown_ == 0) {
        strobeCountdown_ = kStrobeTicks;
        feed.StrobePhase = feed.StrobePhase == 0 ? 255 : 0;
    }
    feed.fill(console_.OutputFrame, random_);
    feed.RedrawRequest.store(true);
    if (!sink_ || !sink_->readyForPacket(console_.controls.demo))
        return 0;
    return DmxPacket::build(console_.OutputFrame, txBuffer_);
}

}  // namespace tavrelia
