#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/xtest_key_injector.h"

using namespace orlix;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace

TEST(SessionKeyInjector, WithoutAnXServerNothingIsSent) {
  for (const char* display : {static_cast<const char*>(nullptr), "", ":65000"}) {
    ScopedEnv env("DISPLAY", display);
    auto injector = platform::makeSessionKeyInjector();
    ASSERT_NE(injector, nullptr);
    EXPECT_NE(dynamic_cast<keys::NullKeyInjector*>(injector.get()), nullptr) << (display ? display : "(unset)");
    injector->keybd_event(0x5B, 0, keys::kInjectExtended, 0);
    injector->keybd_event(0x5B, 0, keys::kInjectExtended | keys::kInjectKeyUp, 0);
  }
}

// Runs where an X server is reachable (under xvfb-run, for example).
TEST(SessionKeyInjector, AnXServerWithXTestTakesTheEvents) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X server";
  auto injector = platform::makeSessionKeyInjector();
  ASSERT_NE(injector, nullptr);
  EXPECT_EQ(dynamic_cast<keys::NullKeyInjector*>(injector.get()), nullptr);
  injector->keybd_event(0x5C, 0, keys::kInjectExtended, 0);
  injector->keybd_event(0x5C, 0, keys::kInjectExtended | keys::kInjectKeyUp, 0);
}
