#pragma once
// Faults the program survives but must not hide (a record a parser failed on, line
// settings a device refused): each is counted and handed to the program's sink, which
// the headless program and the replay tool point at standard error.
#include <functional>
#include <string>
#include <utility>

namespace qorva {

class FaultLog {
  public:
    using Sink = std::function<void(const std::string& message)>;

    void report(const std::string& message) {
        ++count_;
        if (sink_) sink_(message);
    }
    void setSink(Sink sink) { sink_ = std::move(sink); }
    int count() const { return count_; }

  private:
    Sink sink_;
    int count_ = 0;
};

} // namespace qorva
