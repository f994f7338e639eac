// The contract suite states what Windows does; the same cases run against the fake
// platform on Linux and against the win32 platform under Wine, where the known
// differences (wine_deviations.h) are expected instead.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "contract/wine_deviations.h"
#include "platform/install.h"

namespace ov::contract {

// One backend under test, with a scratch area that each test starts from empty.
class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual platform::InstallPlatform& Platform() = 0;
  // Name of the backend, shown in the test log ("fake" or "win32").
  virtual const char* Name() const = 0;
  // An existing, empty folder with a trailing "\", on a local drive.
  virtual std::string ScratchFolder() = 0;
  // A key path below HKEY_CURRENT_USER that the test may create and must leave removed.
  virtual std::string ScratchKey() = 0;
  // Removes everything below the scratch folder and the scratch key.
  virtual void CleanUp() = 0;
};

// Made by the backend's own env file (fake_env.cpp or win32_env.cpp).
std::unique_ptr<ContractEnv> MakeContractEnv();

class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    scratch_ = env_->ScratchFolder();
  }
  void TearDown() override {
    env_->CleanUp();
    while (!traces_.empty()) traces_.pop_back();
  }

  // Whether this backend shows the Wine deviation: the case then expects Wine's known
  // behaviour, otherwise Windows'. Every failure of the test names which and why.
  bool Wine(WineDeviation deviation) {
    const bool shows = ShowsWineDeviation(deviation);
    traces_.push_back(std::make_unique<::testing::ScopedTrace>(
        __FILE__, __LINE__,
        std::string(shows ? "expecting the Wine deviation: " : "expecting Windows, not the Wine deviation: ") +
            WhyWineDiffers(deviation)));
    return shows;
  }

  platform::InstallPlatform& P() { return env_->Platform(); }
  platform::FileApi& Files() { return env_->Platform().Files(); }
  platform::RegistryApi& Registry() { return env_->Platform().Registry(); }
  platform::ProfileApi& Profile() { return env_->Platform().Profile(); }
  platform::SystemApi& System() { return env_->Platform().System(); }
  // A path inside the scratch folder.
  std::string At(const std::string& relative) const { return scratch_ + relative; }

  std::unique_ptr<ContractEnv> env_;
  std::string scratch_;

 private:
  std::vector<std::unique_ptr<::testing::ScopedTrace>> traces_;
};

}  // namespace ov::contract
