#pragma once

#include <string>

// What the mouse-gesture system asks of the scene objects that wait for a drawn gesture: the
// elements of the gesture mini-games and the level's lens elements implement it. The system hands
// every finished stroke's gesture name on, the empty name of an unrecognised stroke too.
class GestureReceiver {
public:
    virtual void OnGesture(const std::string& gesture) = 0;

protected:
    ~GestureReceiver() = default;
};
