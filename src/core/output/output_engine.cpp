#include "output/output_engine.h"

#include <algorithm>

#include "output/automat_output.h"
#include "output/frame_watch.h"
#include "output/frame_sink.h"

namespace tavrelia {

OutputEngine::OutputEngine(Parts parts)
    : parts_(parts),
      sceneAddress_(ShowImage::sceneAddress(0)),
      random_(std::random_device{}())
{
}

void OutputEngine::setSink(FrameSink* sink)
{
    auto g = parts_.lock.hold();
    sink_ = sink;
}

void OutputEngine::setAutomats(AutomatOutput* automats)
{
    auto g = parts_.lock.hold();
    automats_ = automats;
}

void OutputEngine::setFrameWatch(FrameWatch* watch)
{
    auto g = parts_.lock.hold();
    watch_ = watch;
}

void OutputEngine::OutputTick()
{
    auto g = parts_.lock.hold();
    SborDmxStroki(g);
    ManualDmx(g);
    BlankBlackOut(g);
    const bool ready = SendToUsb(g);
    handOver(std::move(g), ready);
}

void OutputEngine::OutputChange()
{
    auto g = parts_.lock.hold();
    DmxFrame& frame = parts_.dmx.OutputFrame;
    frame = parts_.dmx.SceneFrame;
    if (jumps()) {
        sceneAddress_ = ShowImage::sceneAddress(parts_.image.currentScene());
        jumpToScene();
    }
    if (automats_)
        automats_->OutJobAvtomats(frame, g);
    ManualDmx(g);
    if (frame == lastFrame_)
        return;
    const bool ready = sink_ && sink_->readyForFrame(parts_.controls.demo);
    if (ready)
        sendFrame_ = frame;
    handOver(std::move(g), ready);
}

// The write may take up to the device's time-out: never under the lock.
void OutputEngine::handOver(ConsoleLock::Guard held, bool ready)
{
    FrameSink* sink = ready ? sink_ : nullptr;
    FrameWatch* watch = nullptr;
    if (parts_.dmx.OutputFrame != lastFrame_) {
        lastFrame_ = parts_.dmx.OutputFrame;
        watch = watch_;
    }
    held.unlock();
    if (sink)
        sink->writeFrame(sendFrame_);
    if (watch)
        watch->post();
}

bool OutputEngine::jumps() const
{
    const int mode = parts_.controls.transitionMode;
    return mode == Vykl || (mode == Avtomat && !parts_.play.PlayFlag);
}

void OutputEngine::SborDmxStroki(const ConsoleLock::Guard& held)
{
    sceneAddress_ = ShowImage::sceneAddress(parts_.image.currentScene());
    switch (parts_.controls.transitionMode) {
    case Fadera:
        stepTowardsTarget(parts_.image.data() + ShowImage::kRatesBase);
        break;
    case Avtomat:
        if (parts_.play.PlayFlag)
            stepTowardsTarget(parts_.play.FadeSteps.data());
        else
            jumpToScene();
        break;
    case Vykl:
        jumpToScene();
        break;
    default:   // no mode selected: the frame stays as it is
        break;
    }
    parts_.dmx.SceneFrame = parts_.dmx.OutputFrame;
    if (automats_)
        automats_->OutJobAvtomats(parts_.dmx.OutputFrame, held);
}

// Moves each channel by its rate towards the target and stops on it. In byte
// arithmetic a sum that passes 255 or a difference that passes 0 also lands on the
// target; in int arithmetic that is simply the clamp to the target.
void OutputEngine::stepTowardsTarget(const uint8_t* rates)
{
    const uint8_t* scene = parts_.image.data() + sceneAddress_;
    std::copy(scene + 1, scene + 256, TargetLevels.begin() + 1);
    DmxFrame& frame = parts_.dmx.OutputFrame;
    for (int c = 1; c <= 255; ++c) {
        const int o = frame[c];
        const int t = TargetLevels[c];
        const int r = rates[c];
        frame[c] = static_cast<uint8_t>(o < t ? std::min(o + r, t) : std::max(o - r, t));
    }
}

void OutputEngine::jumpToScene()
{
    const uint8_t* scene = parts_.image.data() + sceneAddress_;
    std::copy(scene + 1, scene + 256, parts_.dmx.OutputFrame.begin() + 1);
}

void OutputEngine::ManualDmx(const ConsoleLock::Guard&)
{
    for (int k = 0; k < ControlState::kPictures; ++k) {
        if (parts_.controls.pictures[k])
            applyPicture(k);
    }
    if (parts_.controls.manual)
        applyManualFaders();
    if (parts_.controls.handPriority)
        applyHandScan();
    if (parts_.controls.blackOut)
        std::fill_n(parts_.dmx.OutputFrame.begin(), 256, uint8_t{0});
    if (parts_.controls.macroOut)
        applyPicture(ControlState::kPictures - 1);
    recode();
}

void OutputEngine::applyPicture(int picture)
{
    const uint8_t* member = parts_.image.data() + ShowImage::pictureFlagAddress(picture, 0);
    const uint8_t* level = parts_.image.data() + ShowImage::pictureLevelAddress(picture, 0);
    for (int i = 0; i < 256; ++i) {
        if (member[i] == 1)
            parts_.dmx.OutputFrame[i] = level[i];
    }
}

// CheckBoxManualScrollBar: the checked strips of the visible desk page hold their slots.
void OutputEngine::applyManualFaders()
{
    for (int i = 0; i < ControlState::kStrips; ++i) {
        const int channel = parts_.controls.pageOffset + i + 1;
        if (parts_.controls.stripChecked[i] && channel <= 255)
            parts_.dmx.OutputFrame[channel] = parts_.controls.stripLevel[i];
    }
}

// Each selected channel takes the pad's X and the slot after it the pad's Y, so a
// selected channel 255 reaches slot 256.
void OutputEngine::applyHandScan()
{
    const uint8_t* select = parts_.image.data() + ShowImage::kSelectBase;
    for (int i = 0; i < 256; ++i) {
        if (select[i] == 1) {
            parts_.dmx.OutputFrame[i] = parts_.controls.handX;
            parts_.dmx.OutputFrame[i + 1] = parts_.controls.handY;
        }
    }
}

void OutputEngine::recode()
{
    DmxFrame& frame = parts_.dmx.OutputFrame;
    std::copy_n(frame.begin(), 256, RecodeScratch.begin());
    for (int i = 0; i < 256; ++i) {
        const uint16_t source = parts_.dmx.RecodeTable[i];
        // Only a loaded table file can hold entries beyond the frame: they select nothing.
        frame[i] = source < RecodeScratch.size() ? RecodeScratch[source] : 0;
    }
}

void OutputEngine::BlankBlackOut(const ConsoleLock::Guard&)
{
    const bool visible = parts_.controls.blackOut ? !blackOutVisible_.load() : true;
    blackOutVisible_.store(visible, std::memory_order_relaxed);
}

bool OutputEngine::SendToUsb(const ConsoleLock::Guard& held)
{
    if (--strobeCountdown_ == 0) {
        strobeCountdown_ = kStrobeTicks;
        parts_.feed.StrobePhase = parts_.feed.StrobePhase == 0 ? 255 : 0;
    }
    parts_.feed.fill(parts_.dmx.OutputFrame, random_, held);
    parts_.feed.RedrawRequest.store(true);
    if (!sink_ || !sink_->readyForFrame(parts_.controls.demo))
        return false;
    sendFrame_ = parts_.dmx.OutputFrame;
    return true;
}

}  // namespace tavrelia
