#include "game/ClassList.h"

#include "engine/ClassFactory.h"
#include "engine/Exception.h"
#include "engine/ObjectsManager.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

class GameClasses : public testing::Test {
protected:
    GameClasses() { RegisterGameClasses(); }
};

TEST_F(GameClasses, NamesAreCaseSensitive) {
    const ObjectsManager scene;
    EXPECT_FALSE(ClassFactoryMap.contains("GlyphstoneTutorial"));
    EXPECT_FALSE(ClassFactoryMap.contains("fxanim"));
    EXPECT_TRUE(ClassFactoryMap.contains("glyphstoneTutorial"));
}

TEST_F(GameClasses, RegisteringAgainChangesNothing) {
    const ObjectsManager first;
    const std::size_t known = ClassFactoryMap.size();
    RegisterGameClasses();
    EXPECT_EQ(ClassRegistry, nullptr);
    const ObjectsManager second;
    EXPECT_EQ(ClassFactoryMap.size(), known);
}

TEST_F(GameClasses, ClassesNotBuiltYetSayWhichWhenCreated) {
    ObjectsManager scene;
    try {
        scene.CreateObject("TreeGamesManager", true);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "Class TreeGamesManager is not available yet");
    }
}

} // namespace
