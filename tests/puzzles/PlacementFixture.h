#pragma once

// The puzzle fixture with the sound sets and particle files of the placement games.

#include "engine/FourCC.h"
#include "engine/PositionSystem.h"
#include "tests/puzzles/PuzzleFixture.h"

#include <string>

class PlacementTest : public PuzzleTest {
protected:
    void SetUp() override {
        PuzzleTest::SetUp();
        std::string sets = "(set global";
        for (const char* sound : {"game_won", "pick1", "paper_place", "map_complete", "pick",
                                  "place", "ball_fall", "rock_ball_roll"}) {
            WriteData(std::string(sound) + ".wav", sound);
            sets += std::string(" (") + sound + " " + sound + ".wav)";
        }
        WriteData("sounds.txt", sets + ")\n");
        Sounds.LoadDefinitions("sounds.txt");
        for (const char* particles : {"gfx/fx/collectible2.prt", "gfx/fx/snow_sparks.prt"}) {
            WriteData(particles, "(max_parts 4)\n(flow 0 10)\n");
        }
    }

    // The mouse there for one step, without a press.
    void MoveTo(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        Step();
    }

    static PositionChunk& At(Object& object) {
        return *dynamic_cast<PositionChunk*>(object.GetChunk(FourCC("POSI"), 0));
    }

    bool Played(const std::string& sound) const {
        for (const std::string& file : PlayedFiles()) {
            if (file == sound) {
                return true;
            }
        }
        return false;
    }
};
