// The end of the session and version resources: the shutdown privilege switched on and off
// in this process's token and read back, and files without version information. The
// session itself is never ended here.
#include "contract/contract_env.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;

TEST_F(ContractTest, ShutdownPrivilegeIsSwitchedOnAndOffInTheToken) {
  SessionApi& session = P().Session();
  const bool before = session.ShutdownPrivilegeEnabled();
  for (bool enabled : {true, false, true, false}) {
    SCOPED_TRACE(enabled ? "on" : "off");
    EXPECT_EQ(session.SetShutdownPrivilege(enabled), error::kSuccess);
    EXPECT_EQ(session.ShutdownPrivilegeEnabled(), enabled);
  }
  session.SetShutdownPrivilege(before);
}

TEST_F(ContractTest, FilesWithoutVersionInformationReadAsNone) {
  SessionApi& session = P().Session();
  std::string text = "left over";
  EXPECT_FALSE(session.FileVersionText(At("missing.exe"), text));
  EXPECT_TRUE(text.empty());
  const std::string plain = At("plain.txt");
  ASSERT_EQ(Files().WriteContents(plain, "no resource here"), error::kSuccess);
  text = "left over";
  EXPECT_FALSE(session.FileVersionText(plain, text));
  EXPECT_TRUE(text.empty());
}

}  // namespace
}  // namespace ov::contract
