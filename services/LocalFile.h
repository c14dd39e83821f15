#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The files the services keep on the disk, all in one data folder per company and game: the
// common data folder, then the company's folder, then the game's. The common data folder is
// $VGLSVS_COMMON_DATA when set (tests point it elsewhere), else $XDG_DATA_HOME, else
// ~/.local/share. Every folder path ends in "/".

constexpr const char* kCommonDataVariable = "VGLSVS_COMMON_DATA";
constexpr const char* kScoresFileName = "scores.xml";
constexpr const char* kContentFileName = "content.xml";

// The common data folder; empty when none can be found.
std::string CommonDataFolder();

// The game's folder name as it lies on the disk: always in lower case, because the endpoint
// rewrite turns the property itself into lower case, and a case-sensitive file system would
// otherwise see two folders.
std::string GameFolderOnDisk(std::string_view gameFolder);

// The data folder of a company and game, without creating anything; an empty name is left out.
// Empty when there is no common data folder or a name cannot be one folder (".", "..", or with
// a "/", "\" or zero byte in it).
std::string DataFolderPath(std::string_view companyName, std::string_view gameFolder);

// The folder of a downloaded content item: the data folder + the number + "/".
std::string ItemFolderPath(std::string_view dataFolder, int32_t number);
// A file of a content item: the item folder + kind ("data" or "logo") + number + "." + extension.
std::string ItemFilePath(std::string_view dataFolder, int32_t number, std::string_view kind,
                         std::string_view extension);
// The item folder, created when missing; empty when it does not exist afterwards.
std::string CreateItemFolder(std::string_view dataFolder, int32_t number);

// The system's temporary folder ($TMPDIR, else "/tmp/").
std::string TemporaryFolder();
// The last component of a URL or path: the text after its last "/" or "\".
std::string FileNameOfUrl(std::string_view url);

// One file of a data folder ("scores.xml" or "content.xml"), read or written whole. The folder
// levels are created on the first use. Writes go to a temporary file that is renamed into place,
// so a reader never finds half a file; the threads of a process take turns on the files.
class LocalFile {
public:
    // Files larger than this read as no data.
    static constexpr std::size_t kMaxSize = 8 * 1024 * 1024;

    LocalFile(std::string_view fileName, std::string_view companyName, std::string_view gameFolder);

    // The file's content becomes exactly the text; false when it cannot be written.
    bool Write(std::string_view text);
    // The content up to its first zero byte. A missing file is created empty and reads as "".
    // False when there is no folder, or the file cannot be read or is too large.
    bool Read(std::string& text);

    // Empty when the data folder cannot be had.
    const std::string& Path() const { return path; }

private:
    bool MakeFolder();

    std::string folder;
    std::string path;
};
