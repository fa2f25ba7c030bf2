#pragma once
// A hidraw stand-in that records every system call and plays input reports
// the test pushes.

#include <fcntl.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hidraw_endpoint.h"

namespace orlix::test {

class FakeHidrawIo : public platform::HidrawIo {
 public:
  struct Call {
    std::string what;  // open, close, setFeature, getFeature
    int fd = -1;
    std::vector<uint8_t> bytes;  // the report as passed in
    std::string path;
    int flags = 0;
  };

  int openError = 0;            // errno for open, 0 = succeed
  int setFeatureError = 0;      // errno for every setFeature, 0 = succeed
  int failSetFeatureAt = -1;    // index of the one setFeature call that fails (EPIPE)
  std::vector<uint8_t> featureReply;  // data bytes returned by getFeature

  int open(const std::filesystem::path& node, int flags) override {
    std::lock_guard lock(mutex_);
    calls_.push_back({"open", -1, {}, node.string(), flags});
    if (openError) return -openError;
    cancelled_ = false;
    int fd = nextFd_++;
    open_.push_back(fd);
    return fd;
  }
  void close(int fd) override {
    std::lock_guard lock(mutex_);
    calls_.push_back({"close", fd, {}, {}, 0});
    std::erase(open_, fd);
  }
  int setFeature(int fd, std::span<const uint8_t> report) override {
    std::lock_guard lock(mutex_);
    int index = setFeatureCount_++;
    calls_.push_back({"setFeature", fd, {report.begin(), report.end()}, {}, 0});
    if (hungUp_) return -ENODEV;
    if (setFeatureError) return -setFeatureError;
    if (index == failSetFeatureAt) return -EPIPE;
    return int(report.size());
  }
  int getFeature(int fd, std::span<uint8_t> report) override {
    std::lock_guard lock(mutex_);
    calls_.push_back({"getFeature", fd, {report.begin(), report.end()}, {}, 0});
    if (hungUp_) return -ENODEV;
    for (size_t i = 0; i + 1 < report.size() && i < featureReply.size(); ++i) report[i + 1] = featureReply[i];
    return int(report.size());
  }
  int readReport(int fd, std::span<uint8_t> buffer) override {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return !reports_.empty() || cancelled_ || hungUp_; });
    if (cancelled_) return 0;
    if (!reports_.empty()) {
      auto r = std::move(reports_.front());
      reports_.pop_front();
      size_t n = std::min(r.size(), buffer.size());
      std::copy_n(r.begin(), n, buffer.begin());
      return int(n);
    }
    return -ENODEV;
  }
  void cancelRead(int) override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    cv_.notify_all();
  }

  // An input report arriving from the keyboard.
  void pushReport(std::vector<uint8_t> report) {
    std::lock_guard lock(mutex_);
    reports_.push_back(std::move(report));
    cv_.notify_all();
  }
  // The keyboard is unplugged: reads hang up, requests fail.
  void hangUp() {
    std::lock_guard lock(mutex_);
    hungUp_ = true;
    cv_.notify_all();
  }
  std::vector<Call> calls(const std::string& what = {}) const {
    std::lock_guard lock(mutex_);
    std::vector<Call> out;
    for (auto& c : calls_)
      if (what.empty() || c.what == what) out.push_back(c);
    return out;
  }
  std::vector<int> openDescriptors() const {
    std::lock_guard lock(mutex_);
    return open_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<Call> calls_;
  std::deque<std::vector<uint8_t>> reports_;
  std::vector<int> open_;
  int nextFd_ = 40;
  int setFeatureCount_ = 0;
  bool cancelled_ = false;
  bool hungUp_ = false;
};

}  // namespace orlix::test
