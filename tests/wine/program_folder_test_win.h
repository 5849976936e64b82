// A test fixture whose test runs with a program folder of its own: the configuration starts
// empty and is written nowhere else, and no message of the configuration's first start stops
// the run. The folder goes when the test ends, after the configuration has been saved.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "base/program.h"
#include "config/configuration.h"

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              ("vn_" + std::string(test->test_suite_name()) + "_" + test->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        SetProgramFileName((dir / "Varnolet.exe").string());
        previousHandler = SetProgramMessageHandler(nullptr);
    }
    void TearDown() override {
        FreeConfiguration();
        SetProgramMessageHandler(previousHandler);
        std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir;
    TProgramMessageHandler previousHandler;
};
