#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder(Enter enter) {
    std::string pattern = (fs::temp_directory_path() / "orvex-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path = pattern;
    if (enter == Enter::Yes) {
        previousFolder = fs::current_path().string();
        fs::current_path(path);
    }
}

TempFolder::~TempFolder() {
    std::error_code error;
    if (!previousFolder.empty()) {
        fs::current_path(previousFolder, error);
    }
    fs::remove_all(path, error);
}

std::string TempFolder::operator/(std::string_view relative) const {
    return path + "/" + std::string(relative);
}

void TempFolder::Write(std::string_view relative, std::string_view bytes) const {
    const fs::path file = *this / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

void TempFolder::MakeFolder(std::string_view relative) const {
    fs::create_directories(*this / relative);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
