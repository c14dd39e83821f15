#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A stand-in for the download component, registered inside the test process under the
// component's class id while it lives: it records the definitions it is given and, when run,
// writes the scripted bytes of each defined file's URL into the defined folder.
struct Definition {
    std::string name;
    std::string type;
    std::string definition;

    friend bool operator==(const Definition&, const Definition&) = default;
};

class FakeDownloader {
public:
    FakeDownloader();
    ~FakeDownloader();
    FakeDownloader(const FakeDownloader&) = delete;
    FakeDownloader& operator=(const FakeDownloader&) = delete;

    // The bytes served for a URL; a URL without them is not written.
    void Serve(const std::string& url, const std::string& bytes);
    // The result every run reports.
    void SetRunResult(int32_t result);

    std::vector<Definition> Definitions() const;
    int Runs() const;
    // The files of the last run, as paths the component wrote.
    std::vector<std::string> Written() const;

private:
    uint32_t cookie = 0;
};
