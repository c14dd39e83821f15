#include "platform/audio/AudioLayer.h"

#include "platform/audio/SdlAudio.h"

namespace {

AudioLayer* currentLayer = nullptr;

// Never destroyed: globals destroyed at exit (the sound manager's sets) still free their samples
// through it.
AudioLayer& SdlOutput() {
    static SdlAudio* const output = new SdlAudio();
    return *output;
}

} // namespace

double AudioLayer::BytesToSeconds(uint64_t bytes) {
    return static_cast<double>(bytes) / (double{kOutputRate} * kBytesPerFrame);
}

AudioLayer& Audio() {
    return currentLayer != nullptr ? *currentLayer : SdlOutput();
}

void SetAudioLayer(AudioLayer* layer) {
    currentLayer = layer;
}
