#include "platform/gfx/GraphicsDevice.h"

#include "platform/gfx/GlDevice.h"

#include <utility>

namespace {

GraphicsSystemFactory systemFactory;

} // namespace

const char* GfxResultString(GfxResult result) {
    switch (result) {
    case kGfxOk:
        return "D3D_OK";
    case kGfxOutOfMemory:
        return "E_OUTOFMEMORY";
    case kGfxOutOfVideoMemory:
        return "D3DERR_OUTOFVIDEOMEMORY";
    case kGfxDeviceLost:
        return "D3DERR_DEVICELOST";
    case kGfxNotAvailable:
        return "D3DERR_NOTAVAILABLE";
    case kGfxInvalidDevice:
        return "D3DERR_INVALIDDEVICE";
    case kGfxInvalidCall:
        return "D3DERR_INVALIDCALL";
    case kGfxInvalidData:
        return "D3DXERR_INVALIDDATA";
    default:
        return "Unknown error";
    }
}

std::unique_ptr<GraphicsSystem> CreateGraphicsSystem() {
    if (systemFactory) {
        return systemFactory();
    }
    return CreateGlSystem();
}

void SetGraphicsSystemFactory(GraphicsSystemFactory factory) {
    systemFactory = std::move(factory);
}
