#pragma once

#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Optionally the process works inside it while the object lives.
class TempFolder {
public:
    enum class Enter { No, Yes };

    explicit TempFolder(Enter enter = Enter::No);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    // Path() + "/" + relative.
    std::string operator/(std::string_view relative) const;

    // Writes a file (creating its folders) with exactly these bytes.
    void Write(std::string_view relative, std::string_view bytes) const;
    void MakeFolder(std::string_view relative) const;

private:
    std::string path;
    std::string previousFolder;
};

// The whole content of a file; fails the current test when it cannot be read.
std::string ReadFileBytes(const std::string& path);
