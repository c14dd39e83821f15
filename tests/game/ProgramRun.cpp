#include "tests/game/ProgramRun.h"

#include "platform/gfx/ImageCodec.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace {

constexpr uint32_t kLargestSide = 4096;
constexpr int kFarChannel = 48;

} // namespace

int StartProgram(const ProgramRun& run) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    variables["SDL_VIDEODRIVER"] = "offscreen";
    variables["SDL_AUDIODRIVER"] = "dummy";
    // Mesa's software rasteriser draws on the main thread: under the sanitizers, LeakSanitizer's
    // check at the program's exit faults now and then while the rasteriser's own threads wind
    // down on a machine with two cores, which ends a good run with status 1.
    variables["LP_NUM_THREADS"] = "0";
    // Nor is Mesa's shader cache written: its writer thread, still busy with a cold cache at the
    // exit, makes the same check fault on a loaded machine, and a run leaves the user's cache
    // alone.
    variables["MESA_SHADER_CACHE_DISABLE"] = "true";
    // And for the reason the test binaries give in their own sanitizer options: the records of
    // the driver libraries' TLS go stale when they are unloaded, and the check at exit faults.
    std::string& sanitizer = variables["ASAN_OPTIONS"];
    sanitizer += sanitizer.empty() ? "intercept_tls_get_addr=0" : ":intercept_tls_get_addr=0";
    for (const auto& [name, value] : run.environment) {
        if (value) {
            variables[name] = *value;
        } else {
            variables.erase(name);
        }
    }
    std::vector<std::string> texts;
    for (const auto& [name, value] : variables) {
        texts.push_back(name + "=" + value);
    }
    std::vector<char*> environment;
    for (std::string& text : texts) {
        environment.push_back(text.data());
    }
    environment.push_back(nullptr);
    std::string program = ORVEXGAME;
    char* arguments[] = {program.data(), nullptr};

    // The child changes its folder before exec; posix_spawn has no portable way, so fork.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(run.folder.c_str()) != 0) {
            ::_exit(126);
        }
        ::execve(program.c_str(), arguments, environment.data());
        ::_exit(127);
    }
    return child;
}

int WaitForProgram(int pid, double timeLimitSeconds) {
    if (pid < 0) {
        return -1;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeLimitSeconds);
    int status = 0;
    while (true) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 || std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool WaitForFile(const std::string& path) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(kHungRunSeconds);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

ProgramRun ScriptedSession(const std::string& gameFolder, const std::string& profile,
                           const std::string& instance, const std::string& script,
                           const std::string& screenshots, int endPass) {
    ProgramRun run;
    run.folder = gameFolder;
    run.environment = {
        {"XDG_DATA_HOME", profile},
        {"ORVEX_INSTANCE", instance + "-" + std::to_string(::getpid())},
        {"ORVEX_MESSAGE_BOX", std::nullopt},
        {"ORVEX_SEED", "1"},
        {"ORVEX_STEP_CLOCK", "1"},
        {"ORVEX_SCRIPT", script},
        {"ORVEX_END", std::to_string(endPass)},
    };
    if (!screenshots.empty()) {
        run.environment["ORVEX_SCREENSHOT"] = screenshots;
    }
    return run;
}

int RunProgram(const ProgramRun& run) {
    return WaitForProgram(StartProgram(run), run.timeLimitSeconds);
}

Picture ReadPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    Image image;
    std::string error;
    Picture picture;
    if (!bytes.empty() && DecodeImage(bytes.data(), bytes.size(), kLargestSide, image, error)) {
        picture.width = static_cast<int>(image.width);
        picture.height = static_cast<int>(image.height);
        picture.pixels = std::move(image.pixels);
    }
    return picture;
}

PictureDifference ComparePictures(const Picture& a, const Picture& b) {
    PictureDifference difference;
    difference.sameSize = a.width == b.width && a.height == b.height && !a.pixels.empty() &&
                          a.pixels.size() == b.pixels.size();
    if (!difference.sameSize) {
        return difference;
    }
    double total = 0.0;
    std::size_t far = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        int largest = 0;
        for (const int shift : {0, 8, 16}) {
            const int channel = std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                         static_cast<int>((b.pixels[i] >> shift) & 0xFF));
            total += channel;
            largest = std::max(largest, channel);
        }
        if (largest > kFarChannel) {
            ++far;
        }
    }
    difference.meanChannelDifference = total / (3.0 * static_cast<double>(a.pixels.size()));
    difference.shareOfDifferentPixels =
        static_cast<double>(far) / static_cast<double>(a.pixels.size());
    return difference;
}
