#pragma once

#include <gtest/gtest.h>

#include <chrono>
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
    // Bounded: a test that fails before its Release still ends.
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return !blocked_.contains(name); });
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
  // Waits until an open of `name` has begun (a failure after 10 s).
  void WaitUntilTried(const std::string& name) {
    std::unique_lock lock(mutex_);
    const bool tried = changed_.wait_for(lock, std::chrono::seconds(10), [&] {
      for (const std::string& tried : tried_) {
        if (tried == name) return true;
      }
      return false;
    });
    if (!tried) ADD_FAILURE() << "no probe of " << name;
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
  // Waits until `count` repaints were asked for (a failure after 10 s).
  void WaitFor(int count) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(10), [&] { return count_ >= count; }))
      ADD_FAILURE() << "only " << count_ << " of " << count << " repaints";
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
