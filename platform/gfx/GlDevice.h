#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <memory>

// The OpenGL graphics system (2.1, compatibility profile, through SDL); null when the video
// system cannot start.
std::unique_ptr<GraphicsSystem> CreateGlSystem();
