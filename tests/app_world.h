#pragma once
// The whole program in virtual time, reading and writing a settings file of its own.
#include "shell/application.h"
#include "text_files.h"
#include "world.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace qorva::test {

inline std::string settingsPath(const std::string& suffix = "") {
    return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() +
           suffix + ".ini";
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
