#include "game/ConnectGameHooks.h"

#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "game/ClassList.h"
#include "game/GameProc.h"
#include "mainloop/MainLoop.h"
#include "media/AnimPlayer.h"
#include "media/BitmapFont.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/os/DiskFiles.h"
#include "platform/os/Messages.h"
#include "platform/os/NativePath.h"
#include "platform/os/Seams.h"
#include "ui/GameFlow.h"
#include "ui/LayerServices.h"
#include "world/Player.h"
#include "world/WorldServices.h"

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

namespace {

// The program's side of what the lower layers ask of it: the main loop's profile save, fonts,
// cursor and presented frames; the scene loads' stop of the looping sounds; the game process
// and the real main loop for the menu and the layers.
class GameServices final : public MainLoopClient,
                           public SceneLoadListener,
                           public GameFlow,
                           public MouseState::CursorFrameSource {
public:
    MouseState::CursorFrame CurrentCursorFrame() const override {
        const std::string name = CursorAnim.CurrentAnimName();
        if (name.empty()) {
            return {};
        }
        return {CursorAnim.GetFrameRect(name), name == "idle"};
    }

    void SaveProfile() override {
        if (CurrentPlayer != nullptr) {
            CurrentPlayer->Save();
        }
    }
    void ReleaseFontBuffers() override { BitmapFont::ReleaseAllVertexBuffers(); }
    void RestoreFontBuffers() override { BitmapFont::RestoreAllVertexBuffers(); }
    void DrawCursor(float x, float y) override {
        CursorAnim.Draw(x, y, kCursorDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
    }
    void FramePresented() override { OnFramePresented(); }

    void BeforeSceneLoad() override { Sounds.StopAll(); }

    std::unique_ptr<XProcess> CreateGameProcess() override { return GameProc::Create(); }
    int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass) override {
        return RunProcess(std::move(process), renderEveryPass);
    }
};

GameServices gameServices;
LayerServices layerServices;

} // namespace

void ConnectGameHooks() {
    RegisterGameClasses();
    InstallMainLoopClient(&gameServices);
    ObjectsManager::SetLoadListener(&gameServices);
    InstallGameFlow(&gameServices);
    InstallWorldServices(&layerServices);
    MouseState::SetCursorFrameSource(&gameServices);
}
