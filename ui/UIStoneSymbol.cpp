#include "ui/UIStoneSymbol.h"

#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <algorithm>

namespace {

constexpr uint32_t kNoTint = 0xFFFFFFFF;

NormalLevelSystem* SelectionHolder() {
    return GameLevel != nullptr ? GameLevel->levelSystem : nullptr;
}

} // namespace

UIStoneSymbol::UIStoneSymbol(ObjectsManager* owner) : UIBitmapButton(owner) {
    SetCreator(static_cast<OCreator<UIStoneSymbol>*>(this), 0, 0);
    clickSound = "push";
    spriteSwitching = false;
    // A screen without the sigil art still picks symbols; only the cursor sigil is missing.
    if (Files.Exists(kSigilFile)) {
        sigil.Load(kSigilFile);
    } else {
        DebugLog("%s is missing: no sigil under the cursor\n", kSigilFile);
    }
}

void UIStoneSymbol::SetProperty(const ParconCursor& cursor) {
    UIBitmapButton::SetProperty(cursor);
    ForEachKey(cursor, [this](const std::string& key, ParconCursor& values) {
        if (key != "symbolName") {
            return false;
        }
        symbolName = values.NextString(true, "");
        return true;
    });
}

void UIStoneSymbol::ShowIdle() {
    if (auto* sprite = dynamic_cast<SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0))) {
        sprite->player.Play(symbolName + "_idle", true, false, true, 0.0f);
    }
}

void UIStoneSymbol::ShowActive() {
    if (auto* sprite = dynamic_cast<SpriteRenderChunk*>(GetChunk(FourCC("SPRT"), 0))) {
        sprite->player.Play(symbolName + "_active", true, false, true, 0.0f);
    }
}

void UIStoneSymbol::OnMessage(const void*, uint32_t id, uint32_t param) {
    if (id != FourCC("LMBD") || param != KeyboardSystem::kPressed || !MouseInside()) {
        return;
    }
    NormalLevelSystem* holder = SelectionHolder();
    if (holder == nullptr) {
        DebugLog("%s", "No game level: the symbol is not picked\n");
        return;
    }
    if (holder->selectedSymbol == symbolName) {
        return;
    }
    holder->selectedSymbol = symbolName;
    if (manager != nullptr) {
        manager->DeselectAll();
    }
    ShowActive();
    selected = true;
    Sounds.PlayByName("lightstone_select", false, 100, 0);
}

void UIStoneSymbol::OnObjectGoing(Object* going) {
    if (going == manager) {
        manager = nullptr;
    }
    UIBitmapButton::OnObjectGoing(going);
}

void UIStoneSymbol::PostDraw() {
    if (!selected) {
        return;
    }
    sigil.Play(symbolName + "_active", true, false, true, 0.0f);
    sigil.Draw(Mouse.x, Mouse.y + kSigilDrop, kSigilDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kNoTint);
}

// ---------------------------------------------------------------------------------------------

UIStoneSymbolMngr::UIStoneSymbolMngr(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<UIStoneSymbolMngr>*>(this), 0, 0);
}

UIStoneSymbolMngr::~UIStoneSymbolMngr() = default;

void UIStoneSymbolMngr::SetProperty(const ParconCursor&) {
    if (collected || owner == nullptr) {
        return;
    }
    collected = true;
    owner->AddRemovalListener(this);
    for (const auto& object : owner->Objects()) {
        auto* symbol = dynamic_cast<UIStoneSymbol*>(object.get());
        if (symbol == nullptr || object->GetClassName() != UIStoneSymbol::kClassName) {
            continue;
        }
        symbol->manager = this;
        owner->AddRemovalListener(symbol);
        symbols.push_back(symbol);
        symbol->ShowIdle();
    }
}

void UIStoneSymbolMngr::OnObjectGoing(Object* going) {
    std::erase(symbols, going);
}

void UIStoneSymbolMngr::DeselectAll() {
    for (UIStoneSymbol* symbol : symbols) {
        symbol->ShowIdle();
        symbol->selected = false;
    }
}
