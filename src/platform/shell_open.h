#pragma once
// Opening a program or document with its default action; each system's backend has its
// launcher.
#include <string>
#include <vector>

namespace qorva {

class ShellLauncher {
  public:
    virtual ~ShellLauncher() = default;
    // Asks the desktop to open target; false when that could not even be started.
    virtual bool open(const std::string& target) = 0;
    // The file-explorer fallback: shows the folder that holds target.
    virtual void showInFileExplorer(const std::string& target) = 0;
};

// Keeps what it was asked to open, for tests and replays; opening fails for the
// targets listed in failing.
class RecordingLauncher : public ShellLauncher {
  public:
    bool open(const std::string& target) override;
    void showInFileExplorer(const std::string& target) override { shown.push_back(target); }
    std::vector<std::string> opened, shown, failing;
};

} // namespace qorva
