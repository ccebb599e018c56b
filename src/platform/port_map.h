#pragma once
// Which device a port number opens: the system's device for COMn (the backend's
// DefaultDevicePath), unless the settings file's [ports] section names another device
// ("COM3=/dev/ttyUSB0").
#include <map>
#include <string>

namespace qorva {

// The device the system names for a port number (ordinal 0 is COM1).
std::string DefaultDevicePath(int ordinal);

class PortMap {
  public:
    // ordinal 0 is COM1
    std::string pathFor(int ordinal) const;
    void assign(int ordinal, std::string path) { paths_[ordinal] = std::move(path); }
    // Every port number opens path (a device named on the command line wins over the
    // port of the settings file, whatever number that holds).
    void assignEvery(std::string path) { every_ = std::move(path); }
    // Reads "COMn=path" entries; other keys are ignored.
    void assignFromEntry(const std::string& key, const std::string& path);

  private:
    std::map<int, std::string> paths_;
    std::string every_;
};

} // namespace qorva
