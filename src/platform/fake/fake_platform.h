// The in-memory Windows: files on volumes, a registry, profile files, system information
// and a manual clock, with failure injection and a call log shared by all four parts.
// One instance is one machine; tests create it, arrange it and hand it to the code.
#pragma once

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_failures.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_install.h"
#include "platform/fake/fake_profile.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/install.h"

namespace ov::platform {

class FakePlatform : public InstallPlatform {
 public:
  // A Japanese Windows XP with C:\WINDOWS, C:\WINDOWS\system32 and C:\WINDOWS\TEMP\.
  FakePlatform();

  fake::FakeFiles& Files() override { return files_; }
  fake::FakeRegistry& Registry() override { return registry_; }
  fake::FakeProfile& Profile() override { return profile_; }
  fake::FakeSystem& System() override { return system_; }
  fake::FakeSession& Session() override { return session_; }
  fake::FakeInstallFiles& InstallFiles() override { return installFiles_; }
  fake::FakeInstallShell& InstallShell() override { return installShell_; }
  fake::FakeProcesses& Processes() override { return processes_; }
  fake::FakeShell& Shell() override { return shell_; }

  fake::FakeFailures& Failures() { return failures_; }
  fake::FakeClock& Clock() { return clock_; }

  // Changes the system folders and creates them on the fake volumes.
  void SetFolders(const std::string& windows, const std::string& system, const std::string& temp);

 private:
  fake::FakeClock clock_;
  fake::FakeFailures failures_;
  fake::FakeFiles files_;
  fake::FakeRegistry registry_;
  fake::FakeSystem system_;
  fake::FakeProfile profile_;
  fake::FakeInstallFiles installFiles_{files_, registry_, failures_};
  fake::FakeInstallShell installShell_{files_, failures_};
  fake::FakeProcesses processes_{clock_, files_, failures_};
  fake::FakeShell shell_;
  fake::FakeSession session_{files_};
};

}  // namespace ov::platform
