// The demo game folder that the build assembles, read the way the game reads it: through the
// file layer on its "data" folder and "pack.boo", on the recording renderer and audio layer. Every
// definition file parses, every screen and location loads with the game's class list, every file
// named anywhere exists, and the fonts have a glyph for every character of the texts.

#include "engine/Application.h"
#include "engine/ClassFactory.h"
#include "engine/CollisionsSystem.h"
#include "engine/Config.h"
#include "engine/FileSystem.h"
#include "engine/KeyboardSystem.h"
#include "engine/Parcon.h"
#include "game/ClassList.h"
#include "game/StartGame.h"
#include "media/AnimPlayer.h"
#include "media/AnimationCache.h"
#include "media/BitmapFont.h"
#include "media/ParticleEmitter.h"
#include "media/ParticleRenderSystem.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "media/StringTable.h"
#include "media/TextRenderSystem.h"
#include "media/TextureManager.h"
#include "media/Utf8ToWide.h"
#include "media/VideoStream.h"
#include "platform/audio/AudioLayer.h"
#include "platform/audio/RecordingAudio.h"
#include "puzzles/GestureGame.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/LogCapture.h"
#include "ui/UIButton.h"
#include "ui/UserInterface.h"
#include "world/GameHiddenObject.h"
#include "world/GameButtonX.h"
#include "world/Level.h"
#include "world/Player.h"
#include "world/SmartUI.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A level as the game makes one, with the systems that scene objects use and the level does not
// make yet.
void LoadLevel(Level& level) {
    level.Load();
    if (level.FindSystem(FourCC("KEYB")) == nullptr) {
        level.AddSystem(std::make_unique<KeyboardSystem>(&level));
    }
    if (level.FindSystem(FourCC("PART")) == nullptr) {
        level.AddSystem(std::make_unique<ParticleRenderSystem>(&level));
    }
    if (level.FindSystem(FourCC("TEXT")) == nullptr) {
        level.AddSystem(std::make_unique<TextRenderSystem>(&level));
    }
}

// The calls the program makes at start-up to read its media, in its order.
void LoadStartUpMedia() {
    StringTable::Load();
    Sounds.LoadDefinitions("sounds.txt");
    LoadFonts();
    CursorAnim.Load("gfx/interface/cursor.ani");
}

class DemoDataTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        ASSERT_TRUE(fs::is_directory(fs::path(DEMO_GAME_FOLDER) / "data"))
            << "no demo game folder at " << DEMO_GAME_FOLDER;
        previousFolder = fs::current_path();
        fs::current_path(DEMO_GAME_FOLDER);
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        ASSERT_FALSE(Files.PackRoot().empty()) << "the demo's pack.boo is missing or empty";
        InitRenderer();
        SetAudioLayer(&audio);
        audio.Open();
        Sounds.Init();
        RegisterGameClasses();
        LoadStartUpMedia();
    }

    void TearDown() override {
        DeleteAllLayers();
        Sounds.FreeSets();
        AnimationCache::Clear();
        Sounds.Shutdown();
        SetAudioLayer(nullptr);
        if (!previousFolder.empty()) {
            fs::current_path(previousFolder);
        }
        Files.SetDataFolder("data");
        Files.MountPack("pack.boo");
        RecordingMediaTest::TearDown();
    }

    // Every file of the game data, as the game names it: the plain files under "data/" and the
    // pack's entries.
    static std::vector<std::string> DataFiles() {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator("data")) {
            if (entry.is_regular_file()) {
                names.insert(fs::relative(entry.path(), "data").generic_string());
            }
        }
        std::function<void(const std::map<std::string, PackEntry>&, const std::string&)> walk =
            [&](const std::map<std::string, PackEntry>& folder, const std::string& prefix) {
                for (const auto& [name, entry] : folder) {
                    if (entry.folder) {
                        walk(entry.children, prefix + name + "/");
                    } else {
                        names.insert(prefix + name);
                    }
                }
            };
        walk(Files.PackRoot(), "");
        return {names.begin(), names.end()};
    }

    // The grid games' board files: plain lines, not bracketed, read by the games alone.
    static bool IsBoardFile(const std::string& name) { return name.starts_with("levels/boards/"); }

    static std::vector<std::string> DataFilesEndingWith(const std::string& ending,
                                                        const std::string& under = "") {
        std::vector<std::string> chosen;
        for (const std::string& name : DataFiles()) {
            if (EndsWith(name, ending) && name.starts_with(under) && !IsBoardFile(name)) {
                chosen.push_back(name);
            }
        }
        return chosen;
    }

    // The definition files: everything in the bracketed notation.
    static std::vector<std::string> DefinitionFiles() {
        std::vector<std::string> files;
        for (const std::string& name : DataFiles()) {
            if ((EndsWith(name, ".txt") || EndsWith(name, ".ani") || EndsWith(name, ".prt")) &&
                !IsBoardFile(name)) {
                files.push_back(name);
            }
        }
        return files;
    }

    // The class names the data uses, each with a place that names it. A class is named where a
    // chain of definitions ends: at a base name that is no definition, at a definition without a
    // base name, at a screen's or location's entry that names no definition.
    static std::map<std::string, std::string> ClassesTheDataNames() {
        ObjectsManager definitions;
        for (const std::string& file : DataFilesEndingWith(".txt", "scripts/")) {
            definitions.LoadDefinitions(file);
        }
        const std::map<std::string, ObjectDefinition>& defined = definitions.Definitions();
        std::map<std::string, std::string> named;
        for (const auto& [name, definition] : defined) {
            if (definition.baseName.empty()) {
                named.emplace(name, "the definition " + name);
            } else if (!defined.contains(definition.baseName)) {
                named.emplace(definition.baseName, "the definition " + name);
            }
        }
        for (const std::string& under : {std::string("menus/"), std::string("levels/")}) {
            for (const std::string& file : DataFilesEndingWith(".txt", under)) {
                Parcon parser;
                parser.OpenFile(file, true);
                ParconCursor section = parser.RootCursor();
                while (section.Next()) {
                    const std::optional<ParconList> list = section.GetList();
                    if (!list || ParconCursor(list, 0).GetListName() != "Objects") {
                        continue;
                    }
                    ParconCursor entry(list, 0);
                    while (entry.Next()) {
                        const std::optional<ParconList> object = entry.GetList();
                        const std::string name =
                            object ? ParconCursor(object, 0).GetListName() : "";
                        if (!name.empty() && !defined.contains(name)) {
                            named.emplace(name, file);
                        }
                    }
                }
            }
        }
        return named;
    }

    // One frame of a scene on the recording device.
    static void StepAndDraw(ObjectsManager& scene) {
        scene.Update(1.0f / 60.0f);
        scene.RemoveDead();
        scene.PreRender();
        scene.Render();
        scene.PostRender();
    }

    RecordingAudio audio;
    fs::path previousFolder;
};

TEST_F(DemoDataTest, EveryDefinitionFileParsesAndTheConfigurationReads) {
    const std::vector<std::string> files = DefinitionFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& name : files) {
        Parcon parser;
        EXPECT_NO_THROW(parser.OpenFile(name, true)) << name;
    }
    Application app;
    PriorityClass priority = PriorityClass::Normal;
    EXPECT_NO_THROW(ReadVersionFile(app, "version.txt"));
    EXPECT_NO_THROW(ReadConfigFile(app, "../config.txt", priority));
    EXPECT_FALSE(app.mainNumber.empty());
    EXPECT_FALSE(app.fullScreen) << "the demo starts in a window once a player has played";
    EXPECT_TRUE(fs::is_regular_file("help/help.htm"));
}

TEST_F(DemoDataTest, EveryFileThatADefinitionNamesExists) {
    const std::vector<std::string> endings = {".ani", ".png", ".jpg", ".prt",
                                              ".wav", ".ogg", ".txt", ".fnt"};
    for (const std::string& file : DefinitionFiles()) {
        Parcon parser;
        parser.OpenFile(file, true);
        std::function<void(const ParconList&)> walk = [&](const ParconList& list) {
            // A location's exits are names inside "levels/", checked with the locations.
            const std::string head = ParconCursor(&list, 0).GetListName();
            if (head == "exitForward" || head == "exitBack") {
                return;
            }
            for (const ParconNode& node : list.elements) {
                if (node.kind == ParconNode::kList) {
                    walk(list.List(node));
                    continue;
                }
                const std::string value(list.Text(node));
                const std::string lower = Lower(value);
                for (const std::string& ending : endings) {
                    if (EndsWith(lower, ending)) {
                        EXPECT_TRUE(Files.Exists(value)) << file << " names " << value;
                    }
                }
            }
        };
        walk(*parser.Root());
    }
}

TEST_F(DemoDataTest, TheFilesTheProgramNamesExist) {
    const char* const named[] = {
        "strings-utf8.txt",
        "sounds.txt",
        "version.txt",
        "../config.txt",
        "scripts/objects.txt",
        "scripts/ui_objects.txt",
        "gfx/interface/cursor.ani",
        "gfx/interface/loading.ani",
        "gfx/interface/pause.jpg",
        "gfx/fx/hiddenObject_hili.prt",
        "gestures.txt",
        "gfx/fx/gold_trail.jpg",
        "gfx/fx/magic_trail.prt",
        "menus/intro.txt",
        "video/intro.ogv",
        "menus/outro.txt",
        "video/outro.ogv",
        "menus/credits_fade.txt",
        "snd/music/main_menu.ogg",
        "menus/splash/splash1.txt",
        "menus/main_menu_anim.txt",
        "menus/main_menu.txt",
        "menus/profiles.txt",
        "menus/text_input.txt",
        "menus/text_input2.txt",
        "menus/message4.txt",
        "menus/player_exists.txt",
        "menus/options.txt",
        "menus/ask_quit.txt",
        "menus/ask_quit_full.txt",
        "menus/ask_play.txt",
        "menus/play_menu.txt",
        "menus/credits.txt",
        "menus/saving.txt",
        "menus/loading.txt",
        "menus/game.txt",
        "menus/ingame_options_menu.txt",
        "menus\\tutorials\\inventory_full.txt",
        "levels/z1-wood-glyphstone.txt",
        "levels/z1-barrow-out.txt",
        "levels\\wood_map.txt",
        "levels\\fire_map.txt",
        "gfx/interface/dialog_window/dialog_window.ani",
        "gfx\\interface\\maps\\arrow_katya.ani",
    };
    for (const char* name : named) {
        EXPECT_TRUE(Files.Exists(name)) << name;
    }
    // The sound sets that the program and the widgets play by name.
    for (const char* set : {"ui_click", "ui_hover", "type_sound", "slider_event", "pickup",
                            "cannot", "level_select", "warp_in", "game_appear", "door_close",
                            "intro_video", "outro_video"}) {
        const SoundSet* found = Sounds.FindSet(set);
        EXPECT_TRUE(found != nullptr && !found->Samples().empty()) << set;
    }
    // Some of the data only in the pack, both stored and compressed.
    const PackEntry* music = Files.FindEntry("snd/music/main_menu.ogg");
    const PackEntry* glyphs = Files.FindEntry("gfx/fonts/main.fnt");
    ASSERT_NE(music, nullptr);
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(music->kind, PackEntry::kStored);
    EXPECT_EQ(glyphs->kind, PackEntry::kBzip2);
    EXPECT_FALSE(fs::exists("data/snd"));
}

TEST_F(DemoDataTest, TheCutScenesAreShortTheoraVideosOfModestSize) {
    struct Case {
        const char* file;
        int frames;
        double seconds;
    };
    for (const Case& c : {Case{"video\\intro.ogv", 60, 4.0}, Case{"video\\outro.ogv", 45, 3.0}}) {
        SCOPED_TRACE(c.file);
        EXPECT_LT(Files.Size(c.file), 300u * 1024);
        VideoStream stream(c.file);
        int frames = stream.AtEnd() ? 0 : 1;
        while (frames < 1000 && stream.Step()) {
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_NEAR(stream.GranuleTime(), c.seconds, 1e-9);
    }
}

TEST_F(DemoDataTest, EveryAnimationAndParticleEffectLoadsItsPictures) {
    for (const std::string& name : DataFilesEndingWith(".ani")) {
        AnimPlayer player;
        ASSERT_NO_THROW(player.Load(name)) << name;
        EXPECT_TRUE(player.Update(0.0f)) << name << " has no frame to show";
    }
    for (const std::string& name : DataFilesEndingWith(".prt")) {
        Parcon parser;
        parser.OpenFile(name, true);
        ParticleEmitter emitter;
        EXPECT_NO_THROW(emitter.Load(*parser.Root(), 0)) << name;
    }
    // Every picture decodes: a texture that failed would draw nothing.
    for (const std::string& ending : {std::string(".png"), std::string(".jpg")}) {
        for (const std::string& name : DataFilesEndingWith(ending)) {
            TextureHandle handle;
            EXPECT_TRUE(TextureManager::Load(handle, name)) << name;
            handle.Release();
        }
    }
}

// Every class the data names, and every class the game knows (its full data may name any of
// them), makes an object of its own class in a level as the game makes one.
TEST_F(DemoDataTest, EveryClassTheDataCanNameMakesItsClass) {
    std::map<std::string, std::string> named = ClassesTheDataNames();
    ASSERT_FALSE(named.empty());
    for (const auto& entry : ClassFactoryMap) {
        named.emplace(entry.first, "the game's registration");
    }
    Level scene;
    LoadLevel(scene);
    for (const auto& [name, where] : named) {
        if (!ClassFactoryMap.contains(name)) {
            ADD_FAILURE() << where << " names " << name << ", a class the game does not know";
            continue;
        }
        std::unique_ptr<Object> object;
        ASSERT_NO_THROW(object = scene.CreateObject(name, true)) << name;
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->GetClassName(), name);
    }
}

TEST_F(DemoDataTest, EveryScreenLoadsIntoALayerAndItsTextButtonsCanBeClicked) {
    const std::vector<std::string> screens = DataFilesEndingWith(".txt", "menus/");
    ASSERT_FALSE(screens.empty());
    int fixedTexts = 0;
    for (const std::string& screen : screens) {
        // The cut-scene's camera path lies beside its screen and is no screen.
        if (screen.ends_with("_camera_path.txt")) {
            continue;
        }
        SCOPED_TRACE(screen);
        UserInterface layer;
        layer.Init();
        ASSERT_NO_THROW(layer.LoadScene(screen, true));
        EXPECT_FALSE(layer.Objects().empty());
        StepAndDraw(layer);
        for (const auto& object : layer.Objects()) {
            const auto* button = dynamic_cast<const UITextButton*>(object.get());
            const auto* text =
                dynamic_cast<const TextRenderChunk*>(object->GetChunk(FourCC("TEXT"), 0));
            const auto* region =
                dynamic_cast<const CollisionChunk*>(object->GetChunk(FourCC("COLI"), 0));
            if (button == nullptr || text == nullptr || region == nullptr ||
                button->textSource != 0) {
                continue;
            }
            ++fixedTexts;
            // A fixed text needs its click region measured from it.
            EXPECT_GT(region->right - region->left, 0.0f) << "\"" << text->text << "\"";
            EXPECT_NE(button->clickEvent, 0u) << "\"" << text->text << "\"";
        }
    }
    EXPECT_GT(fixedTexts, 0);
}

TEST_F(DemoDataTest, EveryLocationLoadsIntoALevelWithThingsToFind) {
    const std::vector<std::string> locations = DataFilesEndingWith(".txt", "levels/");
    ASSERT_GE(locations.size(), 2u);
    std::vector<std::string> miniGames;
    for (const std::string& location : locations) {
        SCOPED_TRACE(location);
        Level level;
        LoadLevel(level);
        ASSERT_NO_THROW(level.LoadScene(location, true));
        // A mini-game's scene is opened by its location or by a thing in it (below), not played
        // as one.
        if (level.type != "normal" && level.type != "map") {
            miniGames.push_back(location);
            continue;
        }
        for (const std::string& miniGame : level.miniGamePaths) {
            if (!miniGame.empty()) {
                miniGames.push_back(miniGame);
            }
        }
        const std::string stem = fs::path(location).stem().string();
        // A world map is named after the lands whose flags it holds, not after its file.
        if (level.type != "map") {
            EXPECT_EQ(level.name, stem);
        }
        EXPECT_EQ(level.levelPath, "levels\\" + stem + ".txt");
        for (const std::string& exit : {level.exitForward, level.exitBack}) {
            if (!exit.empty()) {
                EXPECT_TRUE(Files.Exists("levels/" + exit)) << exit;
            }
        }
        if (level.type != "normal") {
            // A mini-game scene: its pieces load; the things to find are the locations'.
            StepAndDraw(level);
            continue;
        }
        int hidden = 0;
        for (const auto& object : level.Objects()) {
            if (object->name != "HiddenItem") {
                continue;
            }
            ++hidden;
            // What the pick-up puts on the cursor.
            AnimPlayer cursor;
            ASSERT_NO_THROW(cursor.Load("gfx/objects/" + object->visName + ".ani"));
            const FrameRect rect = cursor.GetFrameRect("cursor");
            EXPECT_GT(rect.right - rect.left, 0) << object->visName;
            EXPECT_NE(object->GetChunk(FourCC("KEYB"), 0), nullptr) << object->visName;
        }
        // A location is about its things to find, or about its mini-games; the world map is
        // for travelling.
        if (level.miniGamePaths[0].empty() && level.type != "map") {
            EXPECT_GE(hidden, 2);
        }
        StepAndDraw(level);
    }
    // Each mini-game a location names loads over it, with a way back, and runs a step.
    ASSERT_FALSE(miniGames.empty());
    Level location;
    LoadLevel(location);
    GameLevel = &location;
    for (const std::string& miniGame : miniGames) {
        SCOPED_TRACE(miniGame);
        Level level;
        LoadLevel(level);
        ModalLevel = &level;
        EXPECT_NO_THROW(level.LoadScene(miniGame, true));
        EXPECT_FALSE(level.Objects().empty());
        StepAndDraw(level);
        ModalLevel = nullptr;
    }
    GameLevel = nullptr;
}

// A gesture element, once its gesture is drawn, plays its lit picture once without looping: the
// demo's lit pictures must still show long after, not end and leave the rune blank.
TEST_F(DemoDataTest, ARecognisedGestureElementStaysLit) {
    Level location;
    LoadLevel(location);
    GameLevel = &location;
    int elements = 0;
    for (const std::string& file : DataFilesEndingWith(".txt", "levels/")) {
        const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(file);
        ASSERT_TRUE(bytes.has_value()) << file;
        if (std::string(bytes->begin(), bytes->end()).find("(GestureGameElement") ==
            std::string::npos) {
            continue;
        }
        Level scene;
        LoadLevel(scene);
        ModalLevel = &scene;
        ASSERT_NO_THROW(scene.LoadScene(file, true)) << file;
        std::vector<GestureGameElement*> found;
        for (const auto& object : scene.Objects()) {
            if (auto* element = dynamic_cast<GestureGameElement*>(object.get())) {
                found.push_back(element);
            } else if (auto* game = dynamic_cast<GestureGameMngr*>(object.get())) {
                game->showTutorial = false; // every element takes its gesture at once
            }
        }
        for (GestureGameElement* element : found) {
            element->OnGesture(element->gestureName);
        }
        for (int step = 0; step < 10 * 60; ++step) {
            StepAndDraw(scene);
        }
        for (GestureGameElement* element : found) {
            SCOPED_TRACE(file + " " + element->visName);
            ++elements;
            ASSERT_TRUE(element->recognised);
            const auto* sprite =
                dynamic_cast<const SpriteRenderChunk*>(element->GetChunk(FourCC("SPRT"), 0));
            ASSERT_NE(sprite, nullptr);
            EXPECT_EQ(sprite->player.CurrentAnimName(), element->gestureName + "_idle2");
            EXPECT_FALSE(sprite->player.IsFinished()) << "the lit picture has ended: nothing shows";
            EXPECT_EQ(sprite->player.CurrentFrame(), 0);
        }
        ModalLevel = nullptr;
    }
    GameLevel = nullptr;
    EXPECT_GE(elements, 5) << "the slab's four runes and the star sign";
}

// Items of one base name stack and match one another; an item whose base name began another
// item's would be taken for it (a slot's stack, a container's slot, the inventory's removal).
TEST_F(DemoDataTest, NoItemsBaseNameBeginsAnotherItemsBaseName) {
    std::set<std::string> bases;
    for (const std::string& location : DataFilesEndingWith(".txt", "levels/")) {
        Level level;
        LoadLevel(level);
        ASSERT_NO_THROW(level.LoadScene(location, true)) << location;
        for (const auto& object : level.Objects()) {
            // A hidden object without a name (the steam machine's own fixed gears) is never
            // an item.
            if (dynamic_cast<const GameHiddenObject*>(object.get()) != nullptr &&
                dynamic_cast<const SmartUI*>(object.get()) == nullptr && !object->visName.empty()) {
                bases.insert(std::string(ItemBaseName(object->visName)));
            }
            if (const auto* container = dynamic_cast<const SmartUI*>(object.get())) {
                for (const std::string& wanted : container->slotNames) {
                    bases.insert(std::string(ItemBaseName(wanted)));
                }
            }
        }
    }
    EXPECT_GE(bases.size(), 7u);
    for (const std::string& base : bases) {
        for (const std::string& other : bases) {
            EXPECT_TRUE(base == other || !other.starts_with(base)) << base << " begins " << other;
        }
    }
}

// A button that fades away when clicked is disabled when its fade ends; without
// "killOnDisable" it would stay, unseen but clickable. Each place of a world map marks a
// location that exists.
TEST_F(DemoDataTest, ButtonsThatFadeWhenClickedGoWhenDisabledAndMapPlacesNameLocations) {
    int fading = 0;
    int places = 0;
    for (const std::string& location : DataFilesEndingWith(".txt", "levels/")) {
        SCOPED_TRACE(location);
        Level level;
        LoadLevel(level);
        ASSERT_NO_THROW(level.LoadScene(location, true));
        for (const auto& object : level.Objects()) {
            const auto* button = dynamic_cast<const GameButtonX*>(object.get());
            if (button == nullptr) {
                continue;
            }
            if (button->killOnClick && button->fadeOnDisable) {
                ++fading;
                EXPECT_TRUE(button->killOnDisable) << button->visName;
            }
            if (!button->mapIndicator.empty()) {
                ++places;
                EXPECT_EQ(level.type, "map") << button->visName;
                EXPECT_TRUE(Files.Exists("levels/" + button->mapIndicator + ".txt"))
                    << button->mapIndicator;
            }
        }
    }
    EXPECT_GE(fading, 1);
    EXPECT_GE(places, 2);
}

// A key given twice shows only its last text: the earlier one is a text no player sees.
TEST_F(DemoDataTest, TheStringFileGivesEachKeyOnce) {
    const LogCapture log;
    StringTable::Load();
    EXPECT_EQ(log.Text().find("more than once"), std::string::npos) << log.Text();
}

TEST_F(DemoDataTest, FontsHaveAGlyphForEveryCharacterOfTheTexts) {
    for (BitmapFont* font : {MainFont.get(), MenuFont.get(), MenuHiFont.get(), TooltipFont.get()}) {
        ASSERT_NE(font, nullptr);
        ASSERT_FALSE(font->Pages().empty());
        for (const TextureHandle& page : font->Pages()) {
            EXPECT_TRUE(page.valid);
        }
        for (const auto& [key, text] : StringTable::Entries()) {
            std::vector<char16_t> units(text.size() + 1);
            const std::size_t count = Utf8ToWide(text, units, -1);
            for (std::size_t i = 0; i < count; ++i) {
                const Glyph* glyph = font->FindGlyph(units[i]);
                EXPECT_TRUE(glyph != nullptr && glyph->width > 0)
                    << key << ": no glyph for " << static_cast<int>(units[i]);
            }
        }
    }
    // The larger faces spread over several pages, each read with its own glyph file.
    EXPECT_GT(MenuFont->Pages().size(), 1u);
}

} // namespace
