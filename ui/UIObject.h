#pragma once

#include "engine/FourCC.h"
#include "engine/Object.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class MessageReceiver;
class ParconCursor;

// The four fade times of a widget, in seconds on the widget's own clock; a start below 0 turns
// that fade off.
struct FadeTimes {
    float inStart = -1.0f;
    float inTime = -1.0f;
    float outStart = -1.0f;
    float outTime = -1.0f;

    bool FadeInOn() const { return inStart >= 0.0f; }
    bool FadeOutOn() const { return outStart >= 0.0f; }
    // Past the end of the fade-out (never when it is off).
    bool FadedOut(float clock) const;
    // The factor at the clock, from 0 to full: the fade-in ramp, then the fade-out ramp over it.
    // A duration of 0 or less jumps straight to the end of its ramp.
    float Factor(float clock, float full) const;
    // Reads one of "fadeInStart", "fadeInTime", "fadeOutStart", "fadeOutTime"; false for any
    // other key.
    bool Read(const std::string& key, ParconCursor& values);
};

// The base of every widget and screen effect. Widgets talk to the layer that holds them only by
// posting events to their receiver and asking it for texts by data id.
class UIObject : public Object {
public:
    explicit UIObject(ObjectsManager* owner);

    // Reads "animate".
    void SetProperty(const ParconCursor& cursor) override;
    // Throws, naming the definition, when a chunk the widget cannot work without is missing;
    // the layer asks when it takes the widget in, so that such a screen fails at load.
    virtual void RequireChunks();

    // Calls read(key, values) for each non-empty list of a "Data" section, the cursor on the key;
    // read answers whether it knew the key (unknown keys are left to the other class levels).
    static void ForEachKey(const ParconCursor& cursor,
                           const std::function<bool(const std::string&, ParconCursor&)>& read);

    bool animate = false; // slid and zoomed in by the menu-screen effect

protected:
    // Posts {receiver, id, 0} through the owner scene's 'MSGS'; nothing without a receiver, an id
    // or a message system.
    void PostEvent(MessageReceiver* receiver, uint32_t id) const;
};

// An event or data id from its text (empty text: 0).
inline uint32_t PackId(std::string_view text) {
    return FourCC(text);
}

// A data answer as a truth value: false for "0" and the empty text.
inline bool DataIsTrue(const std::string& answer) {
    return !answer.empty() && answer != "0";
}

// The receiver's answer to the data id; empty without a receiver.
std::string AskData(MessageReceiver* receiver, uint32_t id);

// A widget that is not a button but takes its layer as event receiver or data provider (labels,
// sliders, time triggers, video events); the layer's binding table fills receiver.
class ReceiverBound {
public:
    MessageReceiver* receiver = nullptr;

protected:
    virtual ~ReceiverBound() = default;
};
