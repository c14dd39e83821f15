#pragma once

// The scene effects' tests: an empty room of the real level, pieces placed in it with a position
// and a sprite, and effects created by class name as their users create them.

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/RenderChunk.h"
#include "tests/world/SceneObjectsFixture.h"
#include "world/fx/FxPiece.h"

#include <memory>
#include <string>

// A puzzle piece as the effects see it: its busy mark, ring index and slot value, and the
// manager it reaches.
class TestPiece : public Object, public FxPiece {
public:
    explicit TestPiece(ObjectsManager* owner) : Object(owner) {}
    void SetProperty(const ParconCursor&) override {}
    void SetBusy(bool value) override {
        busy = value;
        wasBusy = wasBusy || value;
    }
    FxPiece* BusyManager() override { return manager; }
    int32_t RingIndex() const override { return ring; }
    void SetRingIndex(int32_t index) override { ring = index; }
    int32_t SlotValue() const override { return slot; }
    void SetSlotValue(int32_t value) override { slot = value; }

    PositionChunk& Position() { return RequireChunk<PositionChunk>(FourCC("POSI")); }
    RenderChunk& Sprite() { return RequireChunk<RenderChunk>(FourCC("SPRT")); }

    bool busy = false;
    bool wasBusy = false;
    TestPiece* manager = nullptr;
    int32_t ring = 0;
    int32_t slot = 0;
};

class Effects : public SceneObjects {
protected:
    void SetUp() override {
        SceneObjects::SetUp();
        WriteData("pick1.wav", "pick1");
        WriteData("sounds.txt", "(set global (pick1 pick1.wav))");
        Sounds.LoadDefinitions("sounds.txt");
        Load("", "");
    }

    // A piece at (x, y) turned by rotation degrees, with the code of the label when one is given.
    TestPiece& AddPiece(float x = 0.0f, float y = 0.0f, float rotation = 0.0f,
                        const std::string& label = "") {
        auto created = std::make_unique<TestPiece>(gameLevel.get());
        TestPiece& piece = *created;
        piece.AddToSystem(gameLevel->FindSystem(FourCC("POSI")), 0);
        piece.AddToSystem(gameLevel->FindSystem(FourCC("SPRT")), 0);
        piece.ResolveDependencies();
        piece.Position().x = piece.Position().initialX = x;
        piece.Position().y = piece.Position().initialY = y;
        piece.Position().rotation = rotation;
        piece.code = FourCC(label);
        gameLevel->AddObject(std::move(created));
        return piece;
    }

public:
    // An effect made by its class name in the room, added and resolved.
    template <typename Fx>
    Fx& Add() {
        auto created = gameLevel->CreateObject(std::string(Fx::kClassName), true);
        auto& effect = dynamic_cast<Fx&>(*created);
        gameLevel->AddObject(std::move(created));
        effect.ResolveDependencies();
        return effect;
    }

protected:
    // Steps until no effect of the class is left (at most max steps); the steps taken.
    int RunOut(const std::string& className, int max = 1000) {
        int steps = 0;
        while (Count(className) > 0 && steps < max) {
            Run(1);
            ++steps;
        }
        return steps;
    }
};
