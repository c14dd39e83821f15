#include "platform/os/Shell.h"

#include "platform/os/Seams.h"
#include "platform/os/SingleInstance.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace {

std::string UniqueName(const char* what) {
    return std::string("orvex-shell-test-") + what + "-" + std::to_string(::getpid());
}

TEST(SingleInstanceTest, OneHolderPerNameUntilItLetsGo) {
    const std::string name = UniqueName("instance");
    SingleInstance first;
    SingleInstance second;
    ASSERT_TRUE(first.Claim(name));
    EXPECT_TRUE(first.Claim(name)); // held already: kept
    EXPECT_FALSE(second.Claim(name));
    EXPECT_FALSE(second.Held());
    EXPECT_TRUE(second.Claim(name + "-other"));
    second.Release();

    first.Release();
    EXPECT_TRUE(second.Claim(name));
}

TEST(SingleInstanceTest, AHolderThatDiesLeavesNothingBehind) {
    const std::string name = UniqueName("crash");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held;
        // Ends without any clean-up, as a crash would.
        ::_exit(held.Claim(name) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    SingleInstance next;
    EXPECT_TRUE(next.Claim(name));
}

TEST(SingleInstanceTest, TheSeamNamesTheInstance) {
    ResetSeams();
    EXPECT_EQ(InstanceName("Orvex"), "Orvex");
    Seams().instanceName = "elsewhere";
    EXPECT_EQ(InstanceName("Orvex"), "elsewhere");
    ResetSeams();
}

TEST(ShellTest, TheProfileFolderComesFromXdgThenHome) {
    struct Case {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string folder;
    };
    const Case cases[] = {
        {"/data/xdg", "/home/u", "/data/xdg"},
        {std::nullopt, "/home/u", "/home/u/.local/share"},
        {"", "/home/u", "/home/u/.local/share"},
        {"relative/xdg", "/home/u", "/home/u/.local/share"},
        {std::nullopt, "relative", ""},
        {std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(UserProfileFolder(), c.folder)
            << c.xdg.value_or("(unset)") << " " << c.home.value_or("(unset)");
    }
}

// Runs the call in a child process and returns the child's nice value afterwards, so that the
// test's own priority stays as it was.
int NiceAfter(ProcessPriority priority, bool& succeeded) {
    int pipes[2];
    if (::pipe(pipes) != 0) {
        return -100;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipes[0]);
        const int result[2] = {SetProcessPriority(priority) ? 1 : 0,
                               ::getpriority(PRIO_PROCESS, 0)};
        const ssize_t written = ::write(pipes[1], result, sizeof result);
        ::_exit(written == sizeof result ? 0 : 1);
    }
    ::close(pipes[1]);
    int result[2] = {0, -100};
    const ssize_t read = ::read(pipes[0], result, sizeof result);
    ::close(pipes[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    succeeded = read == sizeof result && result[0] == 1;
    return result[1];
}

TEST(ShellTest, IdlePriorityLowersTheProcessAndNormalLeavesIt) {
    const int before = ::getpriority(PRIO_PROCESS, 0);
    bool succeeded = false;
    EXPECT_EQ(NiceAfter(ProcessPriority::Normal, succeeded), before);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(NiceAfter(ProcessPriority::Idle, succeeded), 19);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), before);
}

TEST(ShellTest, TheSeamSeesTheDocumentInsteadOfTheDesktop) {
    ResetSeams();
    std::vector<std::string> opened;
    Seams().openDocument = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    EXPECT_TRUE(OpenDocument("/games/orvex/help/help.htm"));
    EXPECT_THAT(opened, ::testing::ElementsAre("/games/orvex/help/help.htm"));
    ResetSeams();
}

// A stand-in "xdg-open" on PATH records its arguments one a line.
TEST(ShellTest, TheOpenerGetsThePathAsOneArgumentWithNoShellBetween) {
    ResetSeams();
    const TempFolder folder;
    const std::string record = folder / "arguments";
    const std::string marker = folder / "shell-ran";
    folder.Write("bin/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" +
                                     record + ".tmp'; done\nmv '" + record + ".tmp' '" + record +
                                     "'\n");
    ::chmod((folder / "bin/xdg-open").c_str(), 0755);
    const ScopedEnvironment path("PATH", folder / "bin" + ":/usr/bin:/bin");

    // Spaces, quotes and shell syntax reach the program untouched and run nothing.
    const std::string document = "/a folder/it's $(touch " + marker + "); `x` & | > help.htm";
    ASSERT_TRUE(OpenDocument(document));
    for (int tries = 0; tries < 6000 && !std::filesystem::exists(record); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadFileBytes(record), document + "\n");
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(ShellTest, NoOpenerOnThePathIsAFailure) {
    ResetSeams();
    const TempFolder folder;
    const ScopedEnvironment path("PATH", folder.Path());
    EXPECT_FALSE(OpenDocument("/help/help.htm"));
}

} // namespace
