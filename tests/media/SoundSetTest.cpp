#include "media/SoundSet.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Random.h"
#include "platform/audio/SdlAudio.h"
#include "tests/media/RecordedSound.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/LogCapture.h"
#include "tools/packtool/PackWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using SoundSetTest = RecordedSound;

TEST_F(SoundSetTest, ASampleIsTheWholeFileReadThroughTheFileLayerWhenFirstPlayed) {
    WriteData("snd/plain.wav", "plain sound");
    PackWriter pack;
    pack.AddBytes("snd/packed.wav", "packed sound, compressed", PackWriter::Packing::Bzip2);
    pack.Write(folder / "pack.boo");
    Files.MountPack("pack.boo");

    SoundSet set;
    set.AddSound("snd/plain.wav", 1, false);
    set.AddSound("snd\\packed.wav", 2, true);
    EXPECT_TRUE(audio.Samples().empty());
    for (int round = 0; round < 2; ++round) {
        for (const std::unique_ptr<SoundSample>& sample : set.Samples()) {
            sample->Play(false);
        }
    }
    ASSERT_EQ(audio.Samples().size(), 2u);
    EXPECT_EQ(SampleFile(audio.Samples()[0].id), "plain sound");
    EXPECT_EQ(SampleFile(audio.Samples()[1].id), "packed sound, compressed");
    EXPECT_EQ(audio.Samples()[0].maxPlaybacks, SoundSample::kMaxPlaybacks);
    ASSERT_EQ(set.Samples().size(), 2u);
    EXPECT_EQ(set.Samples()[1]->Weight(), 2);
    EXPECT_TRUE(set.Samples()[1]->Exclusive());
    EXPECT_EQ(set.TotalWeight(), 3);
}

TEST_F(SoundSetTest, AFileThatCannotBeReadIsFatal) {
    SoundSet set;
    try {
        set.AddSound("snd/none.wav", 1, false);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "Can't load a sound file: snd/none.wav!");
    }
    EXPECT_TRUE(set.Samples().empty());
    EXPECT_EQ(set.TotalWeight(), 0);
}

TEST_F(SoundSetTest, AFileThatCannotBeDecodedGivesASilentSample) {
    WriteData("snd/bad.wav", "undecodable bytes");
    SoundSet set;
    set.AddSound("snd/bad.wav", 1, false);
    set.Play(false);
    EXPECT_TRUE(audio.Playbacks().empty());
    EXPECT_FALSE(set.IsPlaying());
}

// A sound that is there but damaged plays nothing and is named in the log, the same from the
// data folder and from a compressed pack entry; only a file that cannot be read stops the game.
TEST(SoundSetDecodeTest, ADamagedSoundIsLoggedAndSilentFromTheFolderAndThePack) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio real;
    if (!real.Open()) {
        GTEST_SKIP() << "no audio output can be opened";
    }
    const std::vector<float> sine = SineWave(441.0, 0.5, 2205, 1, 22050);
    const std::string wav = WavFile(sine, 1, 22050, 16);
    const std::string ogg = VorbisFile(sine, 1, 22050);
    const struct {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"WAV cut inside its header", wav.substr(0, 30)},
        {"WAV with its format chunk overwritten", wav.substr(0, 12) + std::string(24, 'x') +
                                                      wav.substr(36)},
        {"Ogg cut inside its headers", ogg.substr(0, 100)},
        {"Ogg with its headers overwritten", ogg.substr(0, 28) + std::string(200, 'x') +
                                                 ogg.substr(228)},
    };
    for (const auto& c : damaged) {
        for (const bool inPack : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (inPack ? " in the pack" : " in the folder"));
            TempFolder folder{TempFolder::Enter::Yes};
            folder.MakeFolder("data");
            Files.SetDataFolder("data");
            if (inPack) {
                PackWriter pack;
                pack.AddBytes("snd/damaged.snd", c.bytes, PackWriter::Packing::Bzip2);
                pack.Write(folder / "pack.boo");
            } else {
                folder.Write("data/snd/damaged.snd", c.bytes);
            }
            Files.MountPack("pack.boo");
            SetAudioLayer(&real);
            const LogCapture log;
            {
                SoundSet set;
                ASSERT_NO_THROW(set.AddSound("snd/damaged.snd", 1, false));
                set.Play(false);
                EXPECT_FALSE(set.IsPlaying());
            }
            EXPECT_NE(log.Text().find("Can't decode the sound file snd/damaged.snd"),
                      std::string::npos)
                << log.Text();
            SetAudioLayer(nullptr);
            Files.MountPack("pack.boo"); // the folder goes: no pack stays mounted from it
        }
    }
    real.Close();
}

struct WeightCase {
    const char* name;
    std::vector<int> weights;
    std::vector<double> shares; // of 4000 plays; all 0 when nothing may play
};

void PrintTo(const WeightCase& c, std::ostream* out) {
    *out << c.name;
}

class SoundSetWeights : public RecordedSound, public testing::WithParamInterface<WeightCase> {};

TEST_P(SoundSetWeights, ShareThePlaysOut) {
    const WeightCase& c = GetParam();
    const LogCapture log;
    SoundSet set;
    for (std::size_t i = 0; i < c.weights.size(); ++i) {
        WriteData("s" + std::to_string(i), "sample " + std::to_string(i));
        set.AddSound("s" + std::to_string(i), c.weights[i], false);
    }
    SeedRandom(4242);
    for (int play = 0; play < 4000; ++play) {
        set.Play(false);
    }
    std::map<std::string, int> counts;
    for (const std::string& file : PlayedFiles()) {
        ++counts[file];
    }
    for (std::size_t i = 0; i < c.weights.size(); ++i) {
        EXPECT_NEAR(counts["sample " + std::to_string(i)], c.shares[i] * 4000, 150) << i;
        if (c.weights[i] < 0) {
            EXPECT_NE(log.Text().find("s" + std::to_string(i) + " has the negative weight"),
                      std::string::npos)
                << log.Text();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundSetWeights,
    testing::Values(WeightCase{"three to one", {3, 1}, {0.75, 0.25}},
                    WeightCase{"equal", {1, 1, 1, 1}, {0.25, 0.25, 0.25, 0.25}},
                    WeightCase{"a zero weight never plays", {0, 5}, {0.0, 1.0}},
                    WeightCase{"a negative weight counts as zero", {-4, 2}, {0.0, 1.0}},
                    WeightCase{"weights of zero play nothing", {0, 0}, {0.0, 0.0}},
                    WeightCase{"a negative total plays nothing", {-1}, {0.0}}));

TEST_F(SoundSetTest, TheSameSeedMakesTheSameChoices) {
    for (const char* file : {"a", "b", "c"}) {
        WriteData(file, file);
    }
    SoundSet set;
    set.AddSound("a", 1, false);
    set.AddSound("b", 2, false);
    set.AddSound("c", 3, false);
    const auto play = [&] {
        SeedRandom(99);
        for (int i = 0; i < 50; ++i) {
            set.Play(false);
        }
    };
    play();
    const std::vector<AudioId> first = audio.PlayedSamples();
    play();
    const std::vector<AudioId> both = audio.PlayedSamples();
    EXPECT_EQ(std::vector<AudioId>(both.begin() + 50, both.end()), first);
}

class ExclusiveSamples : public RecordedSound {
protected:
    void SetUp() override {
        RecordedSound::SetUp();
        WriteData("voice1", "voice one");
        WriteData("voice2", "voice two");
        WriteData("step", "footstep");
        voice1.AddSound("voice1", 1, true);
        voice2.AddSound("voice2", 1, true);
        steps.AddSound("step", 1, false);
    }

    SoundSet voice1;
    SoundSet voice2;
    SoundSet steps;
};

TEST_F(ExclusiveSamples, NeverSoundOverEachOtherAcrossSets) {
    voice1.Play(false);
    ASSERT_TRUE(voice1.IsExclusivePlaying());
    EXPECT_TRUE(SoundSet::AnyExclusivePlaying());

    voice2.Play(false);
    voice2.PlayRandom(false, true);
    EXPECT_FALSE(voice2.IsPlaying());
    steps.Play(false);
    EXPECT_TRUE(steps.IsPlaying()) << "ordinary samples always play";

    audio.EndChannel(audio.Playbacks()[0].channel);
    EXPECT_FALSE(SoundSet::AnyExclusivePlaying());
    voice2.Play(false);
    EXPECT_TRUE(voice2.IsPlaying());
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"voice one", "footstep", "voice two"}));
}

TEST_F(ExclusiveSamples, NeverPlayWithoutTheCheck) {
    voice1.PlayRandom(false, false);
    EXPECT_TRUE(audio.Playbacks().empty());
}

TEST_F(ExclusiveSamples, GiveWayToTheOrdinarySamplesOfTheirSetWhileAVoicePlays) {
    WriteData("shout", "shout");
    SoundSet mixed;
    mixed.AddSound("shout", 1, true);
    mixed.AddSound("step", 1, false);
    voice1.Play(false);
    for (int i = 0; i < 20; ++i) {
        mixed.Play(false);
    }
    const std::vector<std::string> played = PlayedFiles();
    EXPECT_EQ(std::count(played.begin(), played.end(), "footstep"), 20);
}

TEST_F(SoundSetTest, StopLoopingStopsOnlyWhatWasPlayedLooping) {
    WriteData("hum", "hum");
    WriteData("ding", "ding");
    SoundSet set;
    set.AddSound("hum", 1, false);
    set.AddSound("ding", 0, false);
    set.Play(true);
    ASSERT_TRUE(set.Samples()[0]->Looping());
    EXPECT_FALSE(set.Samples()[1]->Looping());
    set.Samples()[1]->Play(false);
    EXPECT_TRUE(audio.Playbacks()[0].loop);

    set.StopLooping();
    EXPECT_FALSE(set.Samples()[0]->IsPlaying());
    EXPECT_TRUE(set.Samples()[1]->IsPlaying());
    EXPECT_TRUE(set.Samples()[0]->Looping()) << "the flag stays";

    set.StopAll();
    EXPECT_FALSE(set.IsPlaying());
    EXPECT_EQ(audio.ActiveCount(), 0u);
}

TEST_F(SoundSetTest, IsPlayingFollowsTheLatestPlayback) {
    WriteData("a", "a");
    SoundSet set;
    set.AddSound("a", 1, false);
    EXPECT_FALSE(set.IsPlaying());
    set.Play(false);
    EXPECT_TRUE(set.IsPlaying());
    audio.EndChannel(audio.Playbacks().back().channel);
    EXPECT_FALSE(set.IsPlaying());
}

TEST_F(SoundSetTest, FirstSamplePositionReadsTheFirstSamplesPlayback) {
    SoundSet set;
    EXPECT_EQ(set.FirstSamplePosition(), 0.0f);
    WriteData("voice", "voice");
    set.AddSound("voice", 1, false);
    EXPECT_EQ(set.FirstSamplePosition(), 0.0f);
    set.Play(false);
    audio.SetPosition(audio.Playbacks()[0].channel, 3 * 44100 * 4 / 2);
    EXPECT_FLOAT_EQ(set.FirstSamplePosition(), 1.5f);
}

TEST_F(SoundSetTest, ASetThatGoesStopsAndFreesItsSamplesAndLeavesTheList) {
    WriteData("a", "a");
    WriteData("v", "voice");
    const std::size_t before = SoundSet::Count();
    auto first = std::make_unique<SoundSet>();
    auto middle = std::make_unique<SoundSet>();
    auto last = std::make_unique<SoundSet>();
    middle->AddSound("a", 1, false);
    middle->AddSound("v", 1, true);
    middle->Samples()[0]->Play(true);
    last->AddSound("v", 1, true);
    EXPECT_EQ(SoundSet::Count(), before + 3);

    middle.reset();
    EXPECT_EQ(SoundSet::Count(), before + 2);
    EXPECT_EQ(audio.ActiveCount(), 0u);
    // Only the sample that played reached the audio layer; it went with its set.
    ASSERT_EQ(audio.Samples().size(), 1u);
    EXPECT_TRUE(audio.Samples()[0].freed);
    last->Play(false);
    ASSERT_EQ(audio.Samples().size(), 2u);
    EXPECT_FALSE(audio.Samples()[1].freed);
    EXPECT_TRUE(SoundSet::AnyExclusivePlaying()) << "the list still reaches every set";
    first.reset();
    last.reset();
    EXPECT_EQ(SoundSet::Count(), before);
    EXPECT_FALSE(SoundSet::AnyExclusivePlaying());
}

} // namespace
