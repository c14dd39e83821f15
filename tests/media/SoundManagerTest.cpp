#include "media/SoundManager.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "tests/media/RecordedSound.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestData.h"
#include "tools/packtool/PackWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Change = RecordingAudio::VolumeChange;

class SoundManagerTest : public RecordedSound {
protected:
    void TearDown() override {
        manager.Shutdown();
        RecordedSound::TearDown();
    }

    // Brings the manager up on the recording layer.
    void Init() {
        manager.Init();
        ASSERT_TRUE(manager.IsUp());
    }

    // The text of the stream's file.
    static std::string Text(const RecordingAudio::Stream& stream) {
        return std::string(stream.bytes.begin(), stream.bytes.end());
    }

    SoundManager manager;
};

TEST_F(SoundManagerTest, InitOpensTheLayerAtFullVolumes) {
    audio.Close();
    audio.SetGroupVolume(VolumeGroup::Samples, 7);
    audio.SetGroupVolume(VolumeGroup::Streams, 7);
    Init();
    EXPECT_TRUE(audio.IsOpen());
    EXPECT_EQ(manager.GetSampleVolume(), 100);
    EXPECT_EQ(manager.GetStreamVolume(), 100);
    EXPECT_EQ(audio.GroupVolume(VolumeGroup::Samples), 100);
    EXPECT_EQ(audio.GroupVolume(VolumeGroup::Streams), 100);
}

TEST_F(SoundManagerTest, ALayerOfAnotherVersionIsFatal) {
    audio.Close();
    audio.version = 3;
    EXPECT_EQ(ErrorOf([&] { manager.Init(); }),
              "BASS version 2.0 was not loaded - incorrect BASS.DLL!");
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_FALSE(manager.IsUp());
}

TEST_F(SoundManagerTest, WithoutOutputEveryOperationIsHarmless) {
    audio.Close();
    audio.openSucceeds = false;
    manager.Init();
    ASSERT_FALSE(manager.IsUp());
    WriteData("music.ogg", "music");
    WriteData("a.wav", "a");
    WriteData("sounds.txt", "(set global (door a.wav))");

    manager.LoadDefinitions("sounds.txt");
    manager.LoadDefinitions("missing.txt");
    EXPECT_EQ(manager.FindSet("door"), nullptr);
    manager.PlayByName("door", false, 100, 0);
    EXPECT_FALSE(manager.IsPlaying("door"));
    EXPECT_EQ(manager.GetPlayPosition("door"), 0.0f);
    manager.PlayMusic("music.ogg", true);
    EXPECT_FALSE(manager.IsMusicPlaying());
    EXPECT_EQ(manager.MusicName(), "");
    manager.SetSampleVolume(50);
    manager.SetStreamVolume(60);
    EXPECT_EQ(manager.GetSampleVolume(), 0);
    EXPECT_EQ(manager.GetStreamVolume(), 0);
    manager.StopAll();
    manager.StopMusic();
    manager.Pause();
    manager.Resume();
    manager.Restart();
    manager.FreeSets();
    manager.Shutdown();
    EXPECT_TRUE(audio.Streams().empty());
    EXPECT_TRUE(audio.Samples().empty());
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"Open", "Close", "Open"}));
}

TEST_F(SoundManagerTest, ReadsTheGlobalSetsOfTheDefinitionFile) {
    Init();
    for (const char* file : {"door1.wav", "door2.wav", "hello.ogg", "bye.ogg"}) {
        WriteData(std::string("snd/") + file, file);
    }
    WriteData("sounds.txt", R"(# sound sets
(set global
    (door "snd/door1.wav" snd\door2.wav)
    (voice (v "snd/hello.ogg" 3 1) (v snd/bye.ogg 2) (v snd/bye.ogg 5 0))
    stray_value
)
(set local (skipped "snd/missing.wav"))
(set (global) (skipped_too "snd/missing.wav"))
(sets global (other "snd/missing.wav"))
)");
    manager.LoadDefinitions("sounds.txt");

    const SoundSet* const door = manager.FindSet("door");
    ASSERT_NE(door, nullptr);
    ASSERT_EQ(door->Samples().size(), 2u);
    EXPECT_EQ(door->Samples()[0]->Weight(), 1);
    EXPECT_FALSE(door->Samples()[0]->Exclusive());
    EXPECT_EQ(door->TotalWeight(), 2);

    const SoundSet* const voice = manager.FindSet("voice");
    ASSERT_NE(voice, nullptr);
    ASSERT_EQ(voice->Samples().size(), 3u);
    EXPECT_EQ(voice->Samples()[0]->Weight(), 3);
    EXPECT_TRUE(voice->Samples()[0]->Exclusive());
    EXPECT_EQ(voice->Samples()[1]->Weight(), 2);
    EXPECT_FALSE(voice->Samples()[1]->Exclusive());
    EXPECT_FALSE(voice->Samples()[2]->Exclusive());
    EXPECT_FALSE(voice->Loop());

    for (const char* name : {"skipped", "skipped_too", "other", "stray_value", "set"}) {
        EXPECT_EQ(manager.FindSet(name), nullptr) << name;
    }
    // The files go to the audio layer as their samples are first played.
    EXPECT_TRUE(audio.Samples().empty());
    for (const SoundSet* set : {door, voice}) {
        for (const std::unique_ptr<SoundSample>& sample : set->Samples()) {
            sample->Play(false);
        }
    }
    std::vector<std::string> loaded;
    for (const RecordingAudio::Sample& sample : audio.Samples()) {
        loaded.push_back(SampleFile(sample.id));
    }
    EXPECT_EQ(loaded, (std::vector<std::string>{"door1.wav", "door2.wav", "hello.ogg", "bye.ogg",
                                                "bye.ogg"}));
}

TEST_F(SoundManagerTest, ASetDefinedAgainReplacesTheEarlierOneWhichGoes) {
    Init();
    WriteData("first.wav", "first");
    WriteData("second.wav", "second");
    WriteData("sounds.txt", "(set global (door first.wav) (door second.wav))");
    const std::size_t setsBefore = SoundSet::Count();
    manager.LoadDefinitions("sounds.txt");

    EXPECT_EQ(SoundSet::Count(), setsBefore + 1);
    manager.PlayByName("door", false, 100, 0);
    EXPECT_EQ(PlayedFiles(), std::vector<std::string>{"second"});
    // The replaced set's sample never reached the audio layer.
    ASSERT_EQ(audio.Samples().size(), 1u);
    EXPECT_FALSE(audio.Samples()[0].freed);
}

TEST_F(SoundManagerTest, LoadingAgainReplacesEverySet) {
    Init();
    WriteData("a.wav", "a");
    WriteData("one.txt", "(set global (door a.wav) (bell a.wav))");
    WriteData("two.txt", "(set global (gong a.wav))");
    manager.LoadDefinitions("one.txt");
    manager.PlayByName("door", false, 100, 0);
    manager.PlayByName("bell", false, 100, 0);
    manager.LoadDefinitions("two.txt");
    EXPECT_EQ(manager.FindSet("door"), nullptr);
    EXPECT_EQ(manager.FindSet("bell"), nullptr);
    EXPECT_NE(manager.FindSet("gong"), nullptr);
    EXPECT_TRUE(audio.Samples()[0].freed);
    EXPECT_TRUE(audio.Samples()[1].freed);
}

TEST_F(SoundManagerTest, BadDefinitionsAreFatal) {
    Init();
    WriteData("no_sample.txt", "(set global (door snd/none.wav))");
    WriteData("no_weight.txt", "(set global (door (x a.wav)))");
    WriteData("a.wav", "a");
    EXPECT_EQ(ErrorOf([&] { manager.LoadDefinitions("sounds.txt"); }),
              "Parcon Error: Cannot find file sounds.txt!");
    EXPECT_EQ(ErrorOf([&] { manager.LoadDefinitions("no_sample.txt"); }),
              "Can't load a sound file: snd/none.wav!");
    EXPECT_EQ(ErrorOf([&] {
                  manager.LoadDefinitions("no_weight.txt");
              }).rfind("Parcon Error: More data expected!", 0),
              0u);
}

TEST_F(SoundManagerTest, PlaysAndAsksSetsByName) {
    Init();
    WriteData("a.wav", "a");
    WriteData("sounds.txt", "(set global (door a.wav) (empty))");
    manager.LoadDefinitions("sounds.txt");

    manager.PlayByName("nothing", false, 100, 0);
    manager.PlayByName("empty", false, 100, 0);
    EXPECT_TRUE(audio.Playbacks().empty());
    EXPECT_FALSE(manager.IsPlaying("nothing"));
    EXPECT_FALSE(manager.IsPlaying("empty"));
    EXPECT_EQ(manager.GetPlayPosition("nothing"), 0.0f);
    EXPECT_EQ(manager.GetPlayPosition("empty"), 0.0f);

    manager.PlayByName("door", true, 40, -100);
    ASSERT_EQ(audio.Playbacks().size(), 1u);
    EXPECT_TRUE(audio.Playbacks()[0].loop);
    EXPECT_TRUE(manager.IsPlaying("door"));
    audio.SetPosition(audio.Playbacks()[0].channel, 44100 * 4);
    EXPECT_FLOAT_EQ(manager.GetPlayPosition("door"), 1.0f);
}

TEST_F(SoundManagerTest, StopAllStopsOnlyTheLoopingSamplesOfNamedSets) {
    Init();
    WriteData("hum.wav", "hum");
    WriteData("ding.wav", "ding");
    WriteData("sounds.txt", "(set global (hum hum.wav) (ding ding.wav))");
    manager.LoadDefinitions("sounds.txt");
    SoundSet widgetSet;
    widgetSet.AddSound("hum.wav", 1, false);

    manager.PlayByName("hum", true, 100, 0);
    manager.PlayByName("ding", false, 100, 0);
    widgetSet.Play(true);
    manager.StopAll();

    EXPECT_FALSE(manager.IsPlaying("hum"));
    EXPECT_TRUE(manager.IsPlaying("ding"));
    EXPECT_TRUE(widgetSet.IsPlaying());
}

TEST_F(SoundManagerTest, PauseResumeAndRestartDriveTheOutput) {
    Init();
    const std::size_t before = audio.Calls().size();
    manager.Pause();
    manager.Resume();
    manager.Restart();
    EXPECT_EQ(std::vector<std::string>(audio.Calls().begin() + before, audio.Calls().end()),
              (std::vector<std::string>{"Pause", "Start", "Stop", "Start"}));
}

TEST_F(SoundManagerTest, VolumesAreStoredAndApplied) {
    Init();
    manager.SetSampleVolume(40);
    manager.SetStreamVolume(70);
    EXPECT_EQ(manager.GetSampleVolume(), 40);
    EXPECT_EQ(manager.GetStreamVolume(), 70);
    EXPECT_EQ(audio.GroupVolume(VolumeGroup::Samples), 40);
    EXPECT_EQ(audio.GroupVolume(VolumeGroup::Streams), 70);
}

TEST_F(SoundManagerTest, MusicStartsSilentAndFadesIn) {
    Init();
    WriteData("snd/music/menu.ogg", "menu music");
    manager.PlayMusic("snd/music/menu.ogg", true);

    ASSERT_EQ(audio.Streams().size(), 1u);
    const RecordingAudio::Stream& stream = audio.Streams()[0];
    EXPECT_EQ(Text(stream), "menu music");
    EXPECT_TRUE(stream.playing);
    EXPECT_TRUE(stream.loop);
    ASSERT_EQ(stream.volumeChanges.size(), 2u);
    EXPECT_EQ(stream.volumeChanges[0].volume, 0);
    EXPECT_EQ(stream.volumeChanges[0].milliseconds, 0u);
    EXPECT_EQ(stream.volumeChanges[1].volume, 100);
    EXPECT_EQ(stream.volumeChanges[1].milliseconds, 3000u);
    EXPECT_EQ(stream.volumeChanges[1].end, SlideEnd::Keep);
    EXPECT_EQ(manager.MusicName(), "snd/music/menu.ogg");
    EXPECT_TRUE(manager.IsMusicPlaying());
}

TEST_F(SoundManagerTest, TheCurrentMusicAskedAgainGoesOnUntouched) {
    Init();
    WriteData("a.ogg", "a");
    manager.PlayMusic("a.ogg", true);
    manager.PlayMusic("a.ogg", false);
    ASSERT_EQ(audio.Streams().size(), 1u);
    EXPECT_EQ(audio.Streams()[0].volumeChanges.size(), 2u);
    EXPECT_TRUE(audio.Streams()[0].loop);
}

TEST_F(SoundManagerTest, OtherMusicCrossFadesWithTheOld) {
    Init();
    WriteData("a.ogg", "a");
    WriteData("b.ogg", "b");
    manager.PlayMusic("a.ogg", true);
    manager.PlayMusic("b.ogg", false);

    ASSERT_EQ(audio.Streams().size(), 2u);
    const RecordingAudio::Stream& old = audio.Streams()[0];
    ASSERT_EQ(old.volumeChanges.size(), 3u);
    EXPECT_EQ(old.volumeChanges[2].volume, 0);
    EXPECT_EQ(old.volumeChanges[2].milliseconds, 3000u);
    EXPECT_EQ(old.volumeChanges[2].end, SlideEnd::Stop);
    const RecordingAudio::Stream& next = audio.Streams()[1];
    EXPECT_EQ(Text(next), "b");
    EXPECT_FALSE(next.loop);
    EXPECT_EQ(next.volumeChanges.back().volume, 100);
    EXPECT_EQ(manager.MusicName(), "b.ogg");
    EXPECT_EQ(audio.ActiveCount(), 2u) << "both sound while they cross";

    // The old stream lives until its fade has ended, then frees itself and its file.
    audio.FinishSlides();
    EXPECT_TRUE(audio.Streams()[0].ended);
    EXPECT_FALSE(audio.Streams()[1].ended);
    EXPECT_TRUE(manager.IsMusicPlaying());
}

TEST_F(SoundManagerTest, StoppedMusicFadesOutAndCanStartAgain) {
    Init();
    WriteData("a.ogg", "a");
    manager.PlayMusic("a.ogg", true);
    manager.StopMusic();
    EXPECT_EQ(manager.MusicName(), "");
    EXPECT_FALSE(manager.IsMusicPlaying()) << "no music is current";
    EXPECT_EQ(audio.Streams()[0].volumeChanges.back().end, SlideEnd::Stop);
    EXPECT_FALSE(audio.Streams()[0].ended) << "it is still fading out";

    manager.PlayMusic("a.ogg", true);
    EXPECT_EQ(audio.Streams().size(), 2u);
    EXPECT_TRUE(manager.IsMusicPlaying());
}

TEST_F(SoundManagerTest, MusicComesFromThePackReadWholeAndClosedWithItsStream) {
    Init();
    const std::string music(200000, 'm');
    PackWriter pack;
    pack.AddBytes("snd/music/theme.ogg", music, PackWriter::Packing::Bzip2);
    pack.Write(folder / "pack.boo");
    Files.MountPack("pack.boo");

    manager.PlayMusic("snd\\music\\theme.ogg", false);
    ASSERT_EQ(audio.Streams().size(), 1u);
    EXPECT_EQ(Text(audio.Streams()[0]), music);
    audio.EndChannel(audio.Streams()[0].id);
    EXPECT_FALSE(manager.IsMusicPlaying());
    EXPECT_EQ(manager.MusicName(), "snd\\music\\theme.ogg")
        << "a track that played out is still the current music";
}

TEST_F(SoundManagerTest, MusicThatCannotBePlayedIsLoggedAndCanBeTriedAgain) {
    Init();
    const LogCapture log;
    WriteData("a.ogg", "a");
    manager.PlayMusic("a.ogg", true);

    manager.PlayMusic("later.ogg", true);
    EXPECT_NE(log.Text().find("cannot read the music file later.ogg"), std::string::npos)
        << log.Text();
    EXPECT_EQ(manager.MusicName(), "");
    EXPECT_FALSE(manager.IsMusicPlaying());
    EXPECT_EQ(audio.Streams()[0].volumeChanges.back().end, SlideEnd::Stop) << "the old fades";

    WriteData("broken.ogg", "undecodable music");
    manager.PlayMusic("broken.ogg", true);
    EXPECT_NE(log.Text().find("cannot decode the music file broken.ogg"), std::string::npos)
        << log.Text();
    EXPECT_EQ(manager.MusicName(), "");
    EXPECT_EQ(audio.Streams().size(), 1u);

    WriteData("later.ogg", "later");
    manager.PlayMusic("later.ogg", true);
    EXPECT_EQ(manager.MusicName(), "later.ogg");
    EXPECT_TRUE(manager.IsMusicPlaying());
}

TEST_F(SoundManagerTest, ShutdownFreesTheSetsFadesTheMusicAndClosesTheLayer) {
    Init();
    WriteData("a.wav", "a");
    WriteData("a.ogg", "a");
    WriteData("sounds.txt", "(set global (door a.wav))");
    manager.LoadDefinitions("sounds.txt");
    manager.PlayByName("door", false, 100, 0);
    manager.PlayMusic("a.ogg", true);
    manager.Shutdown();

    EXPECT_EQ(manager.FindSet("door"), nullptr);
    EXPECT_TRUE(audio.Samples()[0].freed);
    EXPECT_EQ(audio.Streams()[0].volumeChanges.back().end, SlideEnd::Stop);
    EXPECT_TRUE(audio.Streams()[0].ended);
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_FALSE(manager.IsUp());
    manager.PlayByName("door", false, 100, 0);
    manager.Shutdown();
}

// The real output on SDL's dummy driver: music read whole from a compressed pack entry, decoded
// and played to its end by the audio thread.
TEST_F(SoundManagerTest, PlaysMusicFromThePackOnTheDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetAudioLayer(nullptr);
    const std::vector<float> sine = SineWave(441.0, 0.4, 6615, 2, 22050);
    PackWriter pack;
    pack.AddBytes("snd/music/short.ogg", VorbisFile(sine, 2, 22050), PackWriter::Packing::Bzip2);
    pack.Write(folder / "pack.boo");
    Files.MountPack("pack.boo");

    Init();
    manager.PlayMusic("snd/music/short.ogg", false);
    EXPECT_TRUE(manager.IsMusicPlaying());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (manager.IsMusicPlaying() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(manager.IsMusicPlaying()) << "the 0.3 s track played out";
    EXPECT_EQ(manager.MusicName(), "snd/music/short.ogg");
}

} // namespace
