#pragma once
// A pipe that wakes a waiting loop: wake() is safe from a signal handler, the loop
// watches readEnd() and drains it once it woke.
namespace qorva {

class WakePipe {
  public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    // -1 when the system gave no pipe: waits then end only at their deadlines.
    int readEnd() const { return fds_[0]; }
    void wake();
    void drain();

  private:
    int fds_[2] = {-1, -1};
};

} // namespace qorva
