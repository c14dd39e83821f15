#include "engine/CollisionsSystem.h"
#include "engine/FourCC.h"
#include "engine/MessageSystem.h"
#include "engine/ObjectsManager.h"
#include "engine/Parcon.h"
#include "engine/PositionSystem.h"
#include "engine/profile.h"
#include "tests/engine/SceneFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// A cursor on the head of the first list of the text.
ParconCursor Section(Parcon& parser, const std::string& text) {
    std::istringstream input(text);
    parser.ParseStream("test.txt", input);
    ParconCursor root = parser.RootCursor();
    root.Next();
    return ParconCursor(root.GetList(), 0);
}

// ---------------------------------------------------------------------------------------------
// Position

struct PositionCase {
    const char* section;
    float x, y, rotation, initialRotation;
};

class PositionInit : public testing::TestWithParam<PositionCase> {};

TEST_P(PositionInit, ReadsPositionAndRotationAndRemembersTheStart) {
    Parcon parser;
    PositionChunk chunk;
    chunk.x = 7.0f; // a position the chunk already had
    chunk.y = 8.0f;
    chunk.Init(Section(parser, GetParam().section));
    EXPECT_EQ(chunk.x, GetParam().x);
    EXPECT_EQ(chunk.y, GetParam().y);
    EXPECT_EQ(chunk.rotation, GetParam().rotation);
    EXPECT_EQ(chunk.initialRotation, GetParam().initialRotation);
    EXPECT_EQ(chunk.initialX, chunk.x);
    EXPECT_EQ(chunk.initialY, chunk.y);
    EXPECT_TRUE(chunk.storeList.empty()) << "the position chunk does not read StoreList";
}

INSTANTIATE_TEST_SUITE_P(
    Sections, PositionInit,
    testing::Values(PositionCase{"(POSI (position 1.5 -2))", 1.5f, -2.0f, 0.0f, 0.0f},
                    PositionCase{"(POSI (rotation 45) (position 1 2) (position 3 4))", 3.0f, 4.0f,
                                 45.0f, 45.0f},
                    PositionCase{"(POSI)", 7.0f, 8.0f, 0.0f, 0.0f},
                    PositionCase{"(POSI (StoreList x) (size 3) word)", 7.0f, 8.0f, 0.0f, 0.0f}));

TEST(PositionChunk, MissingNumberIsTheParsersError) {
    Parcon parser;
    PositionChunk chunk;
    EXPECT_EQ(ErrorOf([&] { chunk.Init(Section(parser, "(POSI (position 1))")); }),
              "Parcon Error: More data expected! Last read:\n\nFile: test.txt\nValue: 1\nList "
              "name: position");
}

TEST(PositionChunk, WritesPositionAndOnlyANonZeroRotation) {
    PositionChunk chunk;
    chunk.x = 1.5f;
    chunk.y = 1234567.0f;
    std::ostringstream out;
    EXPECT_TRUE(chunk.Write(out));
    EXPECT_EQ(out.str(), "(position 1.5 1.23457e+06) ");
    chunk.rotation = -30.0f;
    out.str("");
    chunk.Write(out);
    EXPECT_EQ(out.str(), "(position 1.5 1.23457e+06) (rotation -30) ");
}

// ---------------------------------------------------------------------------------------------
// Collision

TEST(CollisionChunk, ReadsSidesKeepsOthersAndEnables) {
    Parcon parser;
    CollisionChunk chunk;
    chunk.right = 9.0f;
    chunk.disabled = true;
    chunk.Init(Section(parser, "(COLI (left -4) (top -3) (bottom 3) (StoreList left top))"));
    EXPECT_EQ(chunk.left, -4.0f);
    EXPECT_EQ(chunk.readLeft, -4.0f);
    EXPECT_EQ(chunk.right, 9.0f);
    EXPECT_EQ(chunk.readRight, 0.0f);
    EXPECT_EQ(chunk.top, -3.0f);
    EXPECT_EQ(chunk.bottom, 3.0f);
    EXPECT_FALSE(chunk.disabled);
    EXPECT_EQ(chunk.storeList, (std::set<std::string>{"left", "top"}));
}

TEST(CollisionChunk, WritesStoredSidesTopBottomLeftRight) {
    CollisionChunk chunk;
    chunk.left = 1.0f;
    chunk.top = -2.5f;
    chunk.storeList = {"left", "top"};
    std::ostringstream out;
    EXPECT_TRUE(chunk.Write(out));
    EXPECT_EQ(out.str(), "(top -2.5)\n(left 1)\n");
    chunk.storeList = {"right", "bottom", "left", "top"};
    out.str("");
    chunk.Write(out);
    EXPECT_EQ(out.str(), "(top -2.5)\n(bottom 0)\n(left 1)\n(right 0)\n");
}

struct PointCase {
    float x, y;
    bool inside;
};

class CollisionContains : public testing::TestWithParam<PointCase> {};

// A rectangle 10..30 across and 40..60 down (position 20, 50).
TEST_P(CollisionContains, EdgesAreInsideAndYGrowsDownwards) {
    PositionChunk position;
    position.x = 20.0f;
    position.y = 50.0f;
    CollisionChunk chunk;
    chunk.position = &position;
    chunk.left = -10.0f;
    chunk.right = 10.0f;
    chunk.top = -10.0f;
    chunk.bottom = 10.0f;
    EXPECT_EQ(chunk.Contains(GetParam().x, GetParam().y), GetParam().inside)
        << GetParam().x << "," << GetParam().y;
    chunk.disabled = true;
    EXPECT_FALSE(chunk.Contains(GetParam().x, GetParam().y));
}

INSTANTIATE_TEST_SUITE_P(Points, CollisionContains,
                         testing::Values(PointCase{20, 50, true}, PointCase{10, 40, true},
                                         PointCase{30, 60, true}, PointCase{10, 60, true},
                                         PointCase{9.99f, 50, false}, PointCase{30.01f, 50, false},
                                         PointCase{20, 39.99f, false},
                                         PointCase{20, 60.01f, false}));

TEST(CollisionChunk, LinksOnlyToAPositionSystemsChunk) {
    ObjectsManager scene;
    PositionSystem positions(&scene);
    RecordingSystem other(&scene, "OTHR", true);
    CollisionChunk chunk;
    std::unique_ptr<SystemChunk> position(positions.CreateChunk(0));
    SystemChunk* unrelated = other.CreateChunk(0);
    chunk.Link(unrelated);
    EXPECT_EQ(chunk.position, nullptr);
    chunk.Link(position.get());
    EXPECT_EQ(chunk.position, position.get());
}

TEST(CollisionsSystem, DependsOnPositionAndProfilesItsUpdate) {
    ObjectsManager scene;
    CollisionsSystem collisions(&scene);
    EXPECT_EQ(collisions.id, FourCC("COLI"));
    EXPECT_EQ(collisions.dependencies, (std::vector<uint32_t>{FourCC("POSI")}));
    ProfileReset();
    LogCapture log; // the profiler keeps what it can show: with the log on
    collisions.Update(0.0f);
    ProfilePrint();
    ProfileReset();
    EXPECT_NE(log.Text().find("\"CollisionsSystem::Update\""), std::string::npos) << log.Text();
}

// ---------------------------------------------------------------------------------------------
// Systems in a scene

TEST(SystemMap, LaterSystemOfAnIdReplacesTheEarlierInTheMap) {
    ObjectsManager scene;
    auto first = std::make_unique<RecordingSystem>(&scene, "SAME");
    auto second = std::make_unique<RecordingSystem>(&scene, "SAME");
    EXPECT_EQ(scene.FindSystem(FourCC("SAME")), second.get());
    first.reset(); // the earlier one going leaves the later one filed
    EXPECT_EQ(scene.FindSystem(FourCC("SAME")), second.get());
    second.reset();
    EXPECT_EQ(scene.FindSystem(FourCC("SAME")), nullptr);
}

TEST(SystemMap, SystemsAreKeptInTheOrderAdded) {
    ObjectsManager scene;
    scene.AddSystem(std::make_unique<RecordingSystem>(&scene, "BBBB"));
    scene.AddSystem(std::make_unique<RecordingSystem>(&scene, "AAAA"));
    ASSERT_EQ(scene.Systems().size(), 2u);
    EXPECT_EQ(scene.Systems()[0]->id, FourCC("BBBB"));
    EXPECT_EQ(scene.Systems()[1]->id, FourCC("AAAA"));
}

// ---------------------------------------------------------------------------------------------
// Messages

class Messages : public SceneTest {
protected:
    Messages() {
        LoadDefinitionsText("(Final (A Probe) (B Probe) (C Probe))");
        LoadSceneText("(Objects (A) (B) (C))");
        messages = static_cast<MessageSystem*>(scene->FindSystem(FourCC("MSGS")));
        a = Find("A");
        b = Find("B");
        c = Find("C");
        Journal.clear();
    }

    MessageSystem* messages = nullptr;
    Probe* a = nullptr;
    Probe* b = nullptr;
    Probe* c = nullptr;
};

TEST_F(Messages, AreDeliveredFirstInFirstOutWithTheSystemAsSender) {
    messages->Post(a, FourCC("ONE"), 1);
    messages->Post(b, FourCC("TWO"), 2);
    messages->Post(a, FourCC("THRE"), 3);
    messages->Update(0.0f);
    EXPECT_EQ(Journal, (Strings{"A.OnMessage ONE 1", "B.OnMessage TWO 2", "A.OnMessage THRE 3"}));
    EXPECT_EQ(a->lastSender, messages);
    EXPECT_TRUE(messages->Queue().empty());
}

TEST_F(Messages, PostedDuringDeliveryComeAfterTheOthersInTheSameUpdate) {
    a->onMessage = [&](Probe&, uint32_t id, uint32_t) {
        if (id == FourCC("ONE")) {
            messages->Post(c, FourCC("LATE"), 0);
        }
    };
    messages->Post(a, FourCC("ONE"), 0);
    messages->Post(b, FourCC("TWO"), 0);
    messages->Post(nullptr, FourCC("NONE"), 0);
    messages->Post(c, FourCC("THRE"), 0);
    messages->Update(0.0f);
    EXPECT_EQ(Journal, (Strings{"A.OnMessage ONE 0", "B.OnMessage TWO 0", "C.OnMessage THRE 0",
                                "C.OnMessage LATE 0"}));
}

TEST_F(Messages, RemovedObjectsMessagesAreDroppedOthersKeepTheirOrder) {
    messages->Post(a, FourCC("ONE"), 0);
    messages->Post(b, FourCC("TWO"), 0);
    messages->Post(b, FourCC("THRE"), 0);
    messages->Post(c, FourCC("FOUR"), 0);
    b->dead = true;
    scene->RemoveDead();
    Journal.clear();
    messages->Update(0.0f);
    EXPECT_EQ(Journal, (Strings{"A.OnMessage ONE 0", "C.OnMessage FOUR 0"}));
}

TEST_F(Messages, SceneUpdateDeliversThem) {
    messages->Post(b, FourCC("ONE"), 5);
    scene->Update(0.1f);
    EXPECT_EQ(Journal, (Strings{"B.OnMessage ONE 5", "A.Update", "B.Update", "C.Update"}));
}

TEST_F(Messages, EmptyUpdateOnlyProfiles) {
    ProfileReset();
    LogCapture log; // the profiler keeps what it can show: with the log on
    messages->Update(0.0f);
    ProfilePrint();
    ProfileReset();
    EXPECT_NE(log.Text().find("\"MessageSystem::Update\""), std::string::npos) << log.Text();
    EXPECT_TRUE(Journal.empty());
}

TEST_F(Messages, UndeliveredMessagesGoWithTheSystem) {
    auto own = std::make_unique<MessageSystem>(scene.get());
    own->Post(a, FourCC("ONE"), 0);
    own.reset();
    EXPECT_TRUE(Journal.empty());
}

TEST_F(Messages, MessageSystemMakesNoChunks) {
    EXPECT_EQ(messages->CreateChunk(0), nullptr);
    EXPECT_EQ(ErrorOf([&] { a->AddToSystem(messages, 0); }),
              "System MSGS makes no chunks (object A)");
}

} // namespace
