#pragma once
// Opening with the desktop's default action through xdg-open, started without a shell
// and without waiting for it, the path as one argument.
#include "platform/shell_open.h"

namespace qorva {

class XdgOpenLauncher : public ShellLauncher {
  public:
    bool open(const std::string& target) override;
    void showInFileExplorer(const std::string& target) override;
};

} // namespace qorva
