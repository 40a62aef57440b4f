#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/port_opener.h"

namespace pirell::testing {

// Ports described by hand. A port opens when it is in free_ports; any other name is held by
// another program (or missing). An open of a port named in Block waits until Release, so a
// test can hold the probe inside one port.
class FakePortOpener : public platform::PortOpener {
 public:
  bool TryOpenPort(const std::string& name) override {
    std::unique_lock lock(mutex_);
    tried_.push_back(name);
    changed_.notify_all();
    changed_.wait(lock, [&] { return !blocked_.contains(name); });
    return free_ports_.contains(name);
  }

  void SetFree(std::set<std::string> names) {
    std::lock_guard lock(mutex_);
    free_ports_ = std::move(names);
  }
  void Block(const std::string& name) {
    std::lock_guard lock(mutex_);
    blocked_.insert(name);
  }
  void Release(const std::string& name) {
    std::lock_guard lock(mutex_);
    blocked_.erase(name);
    changed_.notify_all();
  }
  // Waits until an open of `name` has begun.
  void WaitUntilTried(const std::string& name) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
      for (const std::string& tried : tried_) {
        if (tried == name) return true;
      }
      return false;
    });
  }
  std::vector<std::string> Tried() {
    std::lock_guard lock(mutex_);
    return tried_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::string> free_ports_;
  std::set<std::string> blocked_;
  std::vector<std::string> tried_;
};

// Counts the repaints a probe asks for, and lets a test wait for them.
class RepaintCounter {
 public:
  void operator()() {
    std::lock_guard lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  void WaitFor(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return count_ >= count; });
  }
  int Count() {
    std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

}  // namespace pirell::testing
