#include "platform/com/ClassesRoot.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

TEST(RegistryKeyTest, FindsKeysAndValuesWhateverTheirCaseAndKeepsTheFirstSpelling) {
    RegistryKey root;
    RegistryKey* key = root.CreateKey("CLSID\\{ABC}\\InprocServer32");
    ASSERT_NE(key, nullptr);
    key->SetValue("ThreadingModel", "Free");
    key->SetValue("", "/opt/lib/module.so");

    const RegistryKey* found = root.FindKey("clsid\\{abc}\\INPROCSERVER32");
    ASSERT_EQ(found, key);
    ASSERT_NE(found->Value("threadingmodel"), nullptr);
    EXPECT_EQ(*found->Value("THREADINGMODEL"), "Free");
    EXPECT_EQ(*found->Value(""), "/opt/lib/module.so");
    EXPECT_EQ(root.CreateKey("Clsid\\{Abc}"), root.FindKey("CLSID\\{ABC}"));
    EXPECT_EQ(root.FindKey("CLSID")->Name(), "CLSID");
    key->SetValue("threadingMODEL", "Both");
    EXPECT_EQ(key->Values().back().first, "ThreadingModel");
    EXPECT_EQ(key->Values().back().second, "Both");
    EXPECT_EQ(root.FindKey("CLSID\\{ABD}"), nullptr);
}

TEST(RegistryKeyTest, RefusesPathsThatNameNoKey) {
    RegistryKey root;
    for (const char* path : {"", "a\\\\b", "a\\", "\\a", "a\x01z", "tab\tin"}) {
        EXPECT_EQ(root.CreateKey(path), nullptr) << path;
    }
    EXPECT_TRUE(root.SubKeys().empty()) << "a refused path creates no level";
}

TEST(RegistryKeyTest, RemovesAKeyWithEverythingBelowIt) {
    RegistryKey root;
    root.CreateKey("CLSID\\{A}\\InprocServer32")->SetValue("", "x");
    root.CreateKey("CLSID\\{A}\\Programmable");
    root.CreateKey("CLSID\\{B}");
    EXPECT_TRUE(root.RemoveKey("clsid\\{a}"));
    EXPECT_EQ(root.FindKey("CLSID\\{A}\\InprocServer32"), nullptr);
    EXPECT_NE(root.FindKey("CLSID\\{B}"), nullptr);
    EXPECT_FALSE(root.RemoveKey("CLSID\\{A}"));
    EXPECT_FALSE(root.RemoveKey(""));
}

TEST(RegistryKeyTest, TheTextFormKeepsEveryKeyAndValueExactly) {
    RegistryKey root;
    RegistryKey* key = root.CreateKey("Odd]Name\\Inner");
    key->SetValue("", "C:\\Program Files\\\"quoted\" ] = [x]");
    key->SetValue("lines", "one\ntwo\r\tthree\x7f");
    key->SetValue("caf\xC3\xA9", "na\xC3\xAFve");
    root.CreateKey("Empty\\Programmable");

    const std::string text = FormatRegistry(root);
    RegistryKey read;
    std::string error;
    ASSERT_TRUE(ParseRegistry(text, read, error)) << error;
    EXPECT_EQ(FormatRegistry(read), text);
    EXPECT_NE(read.FindKey("Empty\\Programmable"), nullptr) << "a key with no values stays";
    EXPECT_EQ(*read.FindKey("odd]name\\inner")->Value(""), "C:\\Program Files\\\"quoted\" ] = [x]");
    EXPECT_EQ(*read.FindKey("Odd]Name\\Inner")->Value("LINES"), "one\ntwo\r\tthree\x7f");
    EXPECT_EQ(text.find('\t'), std::string::npos) << "control characters are escaped";
}

TEST(RegistryKeyTest, NamesTheLineAndTheFaultOfADamagedText) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"@=\"x\"\n", "line 1: a value stands before any key"},
        {"; c\n[A\n", "line 2: a key line must be [path]"},
        {"[A\\\\B]\n", "line 1: the key path is not valid"},
        {"[A]\nname=\"x\"\n", "line 2: a value name must be @ or a quoted text"},
        {"[A]\n\"n\" \"x\"\n", "line 2: '=' expected after the value name"},
        {"[A]\n@=\"x\\q\"\n", "line 2: the value must be one quoted text"},
        {"[A]\n@=\"x\" tail\n", "line 2: the value must be one quoted text"},
        {"[A]\n@=\"open\n", "line 2: the value must be one quoted text"},
        {"[A]\n@=\"\\x4\"\n", "line 2: the value must be one quoted text"},
    };
    for (const auto& c : cases) {
        RegistryKey root;
        std::string error;
        EXPECT_FALSE(ParseRegistry(c.text, root, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

class ClassesRootTest : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string path = folder / "registry/classes-root.reg";
    ScopedEnvironment variable{"ORVEX_CLASSES_ROOT", path};
};

TEST_F(ClassesRootTest, WritesEditsAndReadsThemBack) {
    EXPECT_EQ(ClassesRootPath(), path);
    RegistryKey root;
    std::string error;
    ASSERT_TRUE(ReadClassesRoot(root, error)) << "a missing file is an empty root";
    EXPECT_TRUE(root.SubKeys().empty());

    ASSERT_TRUE(EditClassesRoot(
        [](RegistryKey& tree) {
            RegistryKey* key = tree.CreateKey("Orvex.Test.1");
            key->SetValue("", "A test class");
            key->CreateKey("CLSID")->SetValue("", "{00000000-0000-0000-0000-000000000001}");
            return true;
        },
        error))
        << error;
    EXPECT_EQ(ReadClassesRootValue("orvex.test.1\\clsid", ""),
              "{00000000-0000-0000-0000-000000000001}");
    EXPECT_EQ(ReadClassesRootValue("Orvex.Test.1", "missing"), std::nullopt);
    EXPECT_EQ(ReadClassesRootValue("Orvex.Other", ""), std::nullopt);
}

TEST_F(ClassesRootTest, AnAbandonedEditLeavesTheFileAsItWas) {
    std::string error;
    ASSERT_TRUE(EditClassesRoot([](RegistryKey& tree) { return tree.CreateKey("Kept") != nullptr; },
                                error));
    const std::string before = ReadFileBytes(path);
    EXPECT_FALSE(EditClassesRoot(
        [](RegistryKey& tree) {
            tree.RemoveKey("Kept");
            return false;
        },
        error));
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ClassesRootTest, ADamagedFileIsReportedWithItsNameAndNeverOverwritten) {
    folder.Write("registry/classes-root.reg", "[Good]\n@=\"unterminated\n");
    RegistryKey root;
    std::string error;
    EXPECT_FALSE(ReadClassesRoot(root, error));
    EXPECT_EQ(error, "the classes root " + path +
                         " is damaged: line 2: the value must be one quoted text");
    EXPECT_FALSE(EditClassesRoot([](RegistryKey&) { return true; }, error));
    EXPECT_EQ(ReadFileBytes(path), "[Good]\n@=\"unterminated\n");
    EXPECT_EQ(ReadClassesRootValue("Good", ""), std::nullopt);
}

TEST_F(ClassesRootTest, EditsFromManyThreadsAtOnceLoseNothing) {
    constexpr int kThreads = 8;
    constexpr int kEdits = 20;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int e = 0; e < kEdits; ++e) {
                std::string error;
                EditClassesRoot(
                    [&](RegistryKey& tree) {
                        tree.CreateKey("Thread" + std::to_string(t))
                            ->SetValue("edit" + std::to_string(e), "done");
                        return true;
                    },
                    error);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    RegistryKey root;
    std::string error;
    ASSERT_TRUE(ReadClassesRoot(root, error)) << error;
    for (int t = 0; t < kThreads; ++t) {
        const RegistryKey* key = root.FindKey("Thread" + std::to_string(t));
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->Values().size(), static_cast<std::size_t>(kEdits));
    }
    // Only the file and its lock remain: every temporary file was renamed into place.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "registry")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"classes-root.reg", "classes-root.reg.lock"}));
}

TEST(ClassesRootPathTest, FallsBackOnTheConfigurationFolders) {
    ScopedEnvironment noVariable("ORVEX_CLASSES_ROOT", std::nullopt);
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/config-home");
        EXPECT_EQ(ClassesRootPath(), "/tmp/config-home/orvex/classes-root.reg");
    }
    ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    {
        ScopedEnvironment home("HOME", "/home/player");
        EXPECT_EQ(ClassesRootPath(), "/home/player/.config/orvex/classes-root.reg");
    }
    ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_EQ(ClassesRootPath(), "");
    RegistryKey root;
    std::string error;
    EXPECT_FALSE(EditClassesRoot([](RegistryKey&) { return true; }, error));
    EXPECT_NE(error.find("ORVEX_CLASSES_ROOT"), std::string::npos);
}

} // namespace
