#pragma once

// A game folder with the world's fixture, the world's and the widget classes registered, a
// definitions file for the layers, the layer globals fresh, and a stand-in for the layers' event
// table that journals the events that reach the layers and answers data ids from a table.

#include "engine/FourCC.h"
#include "tests/world/WorldFixture.h"
#include "ui/UserInterface.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class UiTest : public WorldTest, public UserInterface::EventTableStandIn {
protected:
    void SetUp() override;
    void TearDown() override;
    // Journals the event (raw input left out) and runs onEvent.
    void OnEvent(UserInterface& layer, uint32_t id) override;
    // From the data table.
    std::string AnswerData(UserInterface& layer, uint32_t id) override;

    // A screen file "menus/<name>.txt" holding these object entries.
    void WriteScreen(const std::string& name, const std::string& objects);
    // A layer made as the game makes them, with the screen loaded.
    UserInterface& Layer(UserInterface*& global, const std::string& screen);
    // One update step of the layer with the mouse at (x, y), the left button going down.
    void ClickAt(UserInterface& layer, float x, float y);
    // One update step with the mouse at (x, y) and no button.
    void MoveTo(UserInterface& layer, float x, float y);
    // A key down for one step (Input::Update), then the layer updated.
    void PressKey(int virtualKey);
    void ReleaseKeys();

    // "<event>" for each event that reached a layer (raw input left out).
    std::vector<std::string> events;
    // Answers of the game's data queries.
    std::map<uint32_t, std::string> data;
    // Runs on every event after it is journalled.
    std::function<void(UserInterface&, uint32_t)> onEvent;
};
