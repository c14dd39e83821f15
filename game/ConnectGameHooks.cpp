#include "game/ConnectGameHooks.h"

#include "engine/Log.h"
#include "game/ClassList.h"
#include "game/GameProc.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/DiskFiles.h"
#include "platform/os/Messages.h"
#include "platform/os/NativePath.h"
#include "platform/os/Seams.h"
#include "ui/Menu.h"
#include "ui/UserInterface.h"
#include "world/Player.h"

#include <string_view>

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr float kCursorDepth = 900.0f;

void TakeScreenshot(const std::string& path) {
    GraphicsDevice* device = Renderer::State().device.get();
    Image image;
    image.width = kScreenWidth;
    image.height = kScreenHeight;
    if (device == nullptr || device->ReadBackBuffer(PixelRect{0, 0, kScreenWidth, kScreenHeight},
                                                    image.pixels) != kGfxOk) {
        DebugLog("Screenshot %s: the picture cannot be read\n", path.c_str());
        return;
    }
    for (uint32_t& pixel : image.pixels) {
        pixel |= 0xFF000000u; // the game's picture is opaque
    }
    const std::vector<uint8_t> png = EncodePng(image);
    std::string error;
    const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
    if (png.empty() || !ReplaceFileAtomically(NativePath(path), bytes, error)) {
        DebugLog("Screenshot %s: %s\n", path.c_str(), error.c_str());
    }
}

} // namespace

void OnFramePresented() {
    PlatformSeams& seams = Seams();
    for (PlatformSeams::ScreenshotRequest& request : seams.screenshots) {
        if (!request.taken && seams.pass >= request.pass) {
            request.taken = true;
            TakeScreenshot(request.path);
        }
    }
    if (seams.endAfterFirstFrame) {
        seams.endAfterFirstFrame = false;
        PostQuitMessage(0);
    }
}

void ConnectGameHooks() {
    RegisterGameClasses();
    ConnectSceneLoadHooks();

    MainLoopHooks& loop = LoopHooks();
    loop.saveProfile = [] {
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->Save();
        }
    };
    loop.releaseFontBuffers = [] { BitmapFont::ReleaseAllVertexBuffers(); };
    loop.restoreFontBuffers = [] { BitmapFont::RestoreAllVertexBuffers(); };
    loop.drawCursor = [](float x, float y) {
        CursorAnim.Draw(x, y, kCursorDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
    };
    loop.framePresented = [] { OnFramePresented(); };

    ConnectWorldHooks();

    UserInterface::Handlers layers;
    layers.handleEvent = [](UserInterface& layer, const void* sender, uint32_t id, uint32_t param) {
        layer.HandleEvent(sender, id, param);
    };
    layers.getData = [](UserInterface& layer, uint32_t id) { return layer.AnswerData(id); };
    UserInterface::SetHandlers(std::move(layers));
    UserInterface::GameFlowHooks flow;
    flow.createGameProcess = [] { return GameProc::Create(); };
    UserInterface::SetGameFlowHooks(std::move(flow));

    Menu::Hooks menu;
    menu.createGameProcess = [] { return GameProc::Create(); };
    Menu::SetHooks(std::move(menu));
}
