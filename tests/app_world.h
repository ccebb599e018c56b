#pragma once
// The whole program in virtual time, reading and writing a settings file of its own.
#include "shell/application.h"
#include "world.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace qorva::test {

inline std::string settingsPath(const std::string& suffix = "") {
    return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() +
           suffix + ".ini";
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct AppWorld : Platform {
    RecordingLauncher launcher;
    std::ostringstream log;
    QorvaApplication app;
    TMainFrm& frm;

    explicit AppWorld(const std::string& ini, bool readOnly = false)
        : app(services(), launcher, ApplicationSettings{ini, readOnly}, log), frm(app.frm) {}
};

} // namespace qorva::test
