#pragma once
// A fresh directory under the system temp directory for the files one test writes, named after
// the running test (plus a random number, so parallel runs do not meet) and removed with
// everything in it. Uses GoogleTest for the test's name: link cobble_gtest_support.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class CScratchDir {
public:
    CScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("cobble_") + (info ? info->test_suite_name() : "t") + "_" +
                           (info ? info->name() : "x") + "_" + std::to_string(std::random_device{}());
        // Parameterised tests carry a '/' in their names.
        for (char& c : name)
            if (c == '/') c = '_';
        root = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~CScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    std::string Path(const std::string& leaf) const { return (root / leaf).string(); }

    std::filesystem::path root;
};
