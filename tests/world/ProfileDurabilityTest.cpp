#include "engine/Application.h"
#include "platform/os/Seams.h"
#include "tests/world/WorldFixture.h"
#include "world/Player.h"
#include "world/PlayerFile.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

// How a child process that tests a full disk ends.
enum ChildResult : int {
    kKeptOldFile = 0,
    kSavedAnyway = 1,
    kFileChanged = 2,
    kSetUpFailed = 3,
    kNotToldOnce = 4,
    kNoTmpfs = 77,
};

// The exit code of the child that runs body.
template <typename Body>
int RunChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ProfileDurabilityTest : public WorldTest {
protected:
    // In the child: profile 0 is saved; then, when the disk cannot take more, a bigger profile
    // cannot be saved and the old file stays as it was.
    static int SaveOnAFullDisk(const std::function<bool()>& fillDisk) {
        Seams().messageBoxAnswer = MessageBoxAnswer::Ok;
        if (!Player::CreateProfile(0, "Ann")) {
            return kSetUpFailed;
        }
        CurrentPlayer->SetFlag("z1", "small", 1);
        std::string before;
        if (ReadPlayerFile(PlayerFilePath("0.pla"), before) != FileRead::Read || !fillDisk()) {
            return kSetUpFailed;
        }
        for (int i = 0; i < 50; ++i) {
            CurrentPlayer->SetFlag("z1", "a_long_flag_name_to_need_more_room_" + std::to_string(i),
                                   i);
        }
        if (CurrentPlayer->Save()) {
            return kSavedAnyway;
        }
        // The player is told once, by a box naming the file, however often saving fails.
        CurrentPlayer->Save();
        const auto& shown = Seams().messageBoxesShown;
        if (shown.size() != 1 || !shown[0].starts_with("Saving failed: ") ||
            shown[0].find("0.pla") == std::string::npos) {
            return kNotToldOnce;
        }
        std::string after;
        ReadPlayerFile(PlayerFilePath("0.pla"), after);
        return after == before ? kKeptOldFile : kFileChanged;
    }
};

TEST_F(ProfileDurabilityTest, AProfileKilledWhileSavingIsAlwaysWholeOldOrNew) {
    MakeProfile(0, "Ann");
    std::mt19937 random(20261210);
    int mostFlags = 0;
    for (int round = 0; round < 25; ++round) {
        // The child tells through a pipe once it has saved, so the random kill always falls
        // among saves, however slow the machine is to get there.
        int saved[2];
        ASSERT_EQ(::pipe(saved), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(saved[0]);
            // Each save adds the next flag, so a whole file holds flags 1..n and nothing else.
            for (int n = 1;; ++n) {
                CurrentPlayer->SetFlag("t", "f" + std::to_string(n), n);
                if (n == 1) {
                    const char mark = 's';
                    (void)!::write(saved[1], &mark, 1);
                    ::close(saved[1]);
                }
            }
        }
        ::close(saved[1]);
        char mark = 0;
        const ssize_t got = ::read(saved[0], &mark, 1);
        ::close(saved[0]);
        ASSERT_EQ(got, 1) << "the child ended before its first save";
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 8000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        Player read;
        ASSERT_TRUE(read.Load(0, false));
        ASSERT_EQ(read.GetFileCondition(), Player::FileCondition::Whole) << "round " << round;
        const int flags = static_cast<int>(read.Flags().size());
        for (int n = 1; n <= flags; ++n) {
            ASSERT_EQ(read.Flags().count("t:f" + std::to_string(n)), 1u) << n;
        }
        mostFlags = std::max(mostFlags, flags);
    }
    EXPECT_GT(mostFlags, 0);
    EXPECT_FALSE(PlayerFileExists("0.pla.damaged"));
}

TEST_F(ProfileDurabilityTest, AFullDiskKeepsTheOldProfile) {
    const std::string players = playerFolder;
    const int result = RunChild([&] {
        // A small file system of the child's own, gone with the child.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", players.c_str(), "tmpfs", 0, "size=16k") != 0) {
            return static_cast<int>(kNoTmpfs);
        }
        return SaveOnAFullDisk([&] {
            std::ofstream filler(players + "/filler", std::ios::binary);
            const std::string block(512, 'x');
            while (filler.write(block.data(), block.size())) {
                filler.flush();
            }
            return true;
        });
    });
    if (result == kNoTmpfs) {
        GTEST_SKIP() << "no tmpfs can be mounted here; the file size limit test stands for it";
    }
    EXPECT_EQ(result, kKeptOldFile);
}

TEST_F(ProfileDurabilityTest, AWriteCutShortByTheFileSizeLimitKeepsTheOldProfile) {
    const int result = RunChild([&] {
        return SaveOnAFullDisk([] {
            // Writes past the limit fail instead of ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 400;
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        });
    });
    EXPECT_EQ(result, kKeptOldFile);
}

} // namespace
