#pragma once

#include "engine/ClassFactory.h"
#include "world/BaseGameObject.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The invisible quests of the locations: scene objects that watch what the player has gathered
// and advance the story (the win sound, an event to the HUD, a dialogue, the items taken away),
// then leave. A quest's own "_killed" flag, set as it finishes, keeps it from acting again on a
// later visit. No quest acts while a dialogue is on screen or the profile is being saved.

// The item-list family: a list of names ("objects") to wait for and an event to post
// ("completeEvent") when they are all there.
class ItemListQuest : public BaseGameObject {
public:
    // The object's keys, then "objects" (any number of names) and "completeEvent".
    void SetProperty(const ParconCursor& cursor) override;
    // Waits for every name of the list (Gathered); then, unless the quest finished in an earlier
    // visit, completes it (Complete). False once the quest is done.
    bool Update(float dt) override;

    std::vector<std::string> objects;
    uint32_t completeEvent = 0;

protected:
    explicit ItemListQuest(ObjectsManager* owner);
    virtual bool Gathered(const std::string& name) const = 0;
    virtual void Complete() = 0;
    // A key of the class's own beyond the family's; false when it is none.
    virtual bool ReadKey(const std::string&, ParconCursor&) { return false; }
    // completeEvent to the quest's receiver through its scene's message system; nothing without
    // either or for no event.
    void PostCompleteEvent();
};

// Waits for the location's objects of the list to be gone (their "_killed" flags).
class CollectObjectsQuest : public ItemListQuest, public OCreator<CollectObjectsQuest> {
public:
    static constexpr std::string_view kClassName = "CollectObjectsQuest";
    explicit CollectObjectsQuest(ObjectsManager* owner);

protected:
    bool Gathered(const std::string& name) const override;
    // "game_won", the event, and the quest killed.
    void Complete() override;
};

// Waits for one of each listed item in the inventory; rewards one energy and, with
// "killObjects", takes the items away.
class GetObjectsQuest : public ItemListQuest, public OCreator<GetObjectsQuest> {
public:
    static constexpr std::string_view kClassName = "GetObjectsQuest";
    explicit GetObjectsQuest(ObjectsManager* owner);

    bool killObjects = false;

protected:
    bool Gathered(const std::string& name) const override;
    bool ReadKey(const std::string& key, ParconCursor& cursor) override;
    void Complete() override;
};

// Waits for one of each listed item in the inventory; takes them away in silence.
class OraclesQuest : public ItemListQuest, public OCreator<OraclesQuest> {
public:
    static constexpr std::string_view kClassName = "OraclesQuest";
    explicit OraclesQuest(ObjectsManager* owner);

protected:
    bool Gathered(const std::string& name) const override;
    void Complete() override;
};

// The barrow's errands: a dialogue when the player first carries exactly ten seeds, ten crystals
// or ten fire blooms (one a step, in that order), an introduction while none is done, and the end
// once the three errands' dialogues have been seen.
class OakbeardQuest : public BaseGameObject, public OCreator<OakbeardQuest> {
public:
    static constexpr std::string_view kClassName = "OakbeardQuest";
    static constexpr int32_t kErrandCount = 10;
    static constexpr const char* kDialogues = "menus\\tutorials\\AncientBarrowExterior\\";

    explicit OakbeardQuest(ObjectsManager* owner);

    // The object's keys; once the barrow's third dialogue has been seen, the enable state is
    // settled at once and a quest that it disables goes.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    bool crystalDone = false;
    bool seedDone = false;
    bool bloomDone = false;
    float delay = 1.0f;
    bool introDone = false;
};

// The gardens' guardian: once the "guardian_task" object is gone, "game_won" and the guardian's
// dialogue, and the quest ends.
class GuardianQuest : public BaseGameObject, public OCreator<GuardianQuest> {
public:
    static constexpr std::string_view kClassName = "GuardianQuest";
    static constexpr const char* kDialogue = "menus\\tutorials\\z4-gardens-out\\msg4.txt";

    explicit GuardianQuest(ObjectsManager* owner);

    // The enable state settled at once (before the keys, so by the flags the object had then),
    // a quest that it disables going; then the object's keys.
    void SetProperty(const ParconCursor& cursor) override;
    bool Update(float dt) override;

    float delay = 1.0f;
};
