#pragma once

// Runs the real orvexgame as a child process: in a folder, with environment variables added to
// the test's own (a scripted run), headless, and ended by force when it outlives a time limit.

#include <map>
#include <optional>
#include <string>
#include <vector>

// Only a guard against a hung run: far beyond what a run takes under sanitizers on a busy
// two-core machine, so that it never decides a test that works.
constexpr double kHungRunSeconds = 300.0;

struct ProgramRun {
    std::string folder; // the current folder of the run
    // Added to (or, with nothing, removed from) the test's environment.
    std::map<std::string, std::optional<std::string>> environment;
    double timeLimitSeconds = kHungRunSeconds;
};

// A run of a session script as the program runs take it: on the game folder and the profile
// folder, the instance name made unique to this test process, the seed 1 and the stepped clock,
// no message box (one would be a failure), ending at the pass; screenshots "PASS:FILE;..." if any.
ProgramRun ScriptedSession(const std::string& gameFolder, const std::string& profile,
                           const std::string& instance, const std::string& script,
                           const std::string& screenshots, int endPass);

// Starts the program; its process id, or -1.
int StartProgram(const ProgramRun& run);
// Waits for it; its exit status, or -1 when it was killed by a signal or outlived the limit
// (it is then killed).
int WaitForProgram(int pid, double timeLimitSeconds);
// Both.
int RunProgram(const ProgramRun& run);
// Waits until the file exists (a running program's sign that it got there); false when it never
// appeared within kHungRunSeconds.
bool WaitForFile(const std::string& path);

// Pixels of a PNG file; empty when it cannot be read.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // ARGB
};
Picture ReadPicture(const std::string& path);

// How far two pictures of the same size lie apart: the mean of the channels' absolute
// differences, and the share of pixels in which some channel differs by more than 48.
struct PictureDifference {
    bool sameSize = false;
    double meanChannelDifference = 0.0;
    double shareOfDifferentPixels = 0.0;
};
PictureDifference ComparePictures(const Picture& a, const Picture& b);
