// A stand-in for the wizard that keeps what start-up told it and the order of the calls
// that matter for order.
#pragma once

#include <map>
#include <string>

#include "setup/engine/startup.h"

namespace ov::setup {

// Keeps the wizard's state as start-up leaves it, and the order of the calls.
class RecordingView : public StartupView {
 public:
  struct Box {
    bool checked = false, enabled = false;
  };
  void DisableCloseCommand() override { Log("DisableClose"); }
  void SetOsTitle(const std::string& caption) override { osTitle = caption; }
  void SetTitle(const std::string& text) override { title = text, Log("Title"); }
  void SetBanner(const std::string& l1, const std::string& l2) override { banner = l1 + "|" + l2; }
  void SetMessage(const std::string& text) override { message = text; }
  void SetFolderText(const std::string& folder) override { folderText = folder, Log("Folder"); }
  void SetFolderControlsEnabled(bool on) override { folderControls = on ? "enabled" : "disabled"; }
  void SetFolderGroupCaption(const std::string& caption) override { folderGroup = caption; }
  void SetOptionGroupCaption(const std::string& caption) override { optionGroup = caption; }
  void RefreshFreeSpace() override { Log("FreeSpace"); }
  void SetEventCaption(const std::string& caption) override { eventCaption = caption; }
  void SetEventEnabled(bool on) override { eventEnabled = on; }
  void SetEndCaption(const std::string& caption) override { endCaption = caption; }
  void SetEndEnabled(bool on) override { endEnabled = on; }
  void FocusEnd() override { Log("FocusEnd"); }
  void SetShortcutBox(OptionBox box, bool checked, bool on) override { boxes[box] = {checked, on}; }
  void Step() override { eventEnabled = true, Log("Step"); }  // as the title page does
  void ShowLastPage() override { Log("LastPage"); }
  void MakeFolderReadOnly() override { Log("ReadOnly"); }
  void ArrangeUninstallOptions(const std::string& caption) override { frame = caption; }
  void SetUninstallBox(OptionBox box, const BoxState& state) override { uninstallBoxes[box] = state; }
  void ShowUninstallInfo(const std::string& caption) override { info = caption; }

  bool Called(const std::string& name) const { return calls.find(name) != std::string::npos; }

  std::string calls, osTitle, title, banner, message, folderText, folderControls, folderGroup, optionGroup;
  std::string eventCaption, endCaption, frame, info;
  bool eventEnabled = false, endEnabled = false;
  std::map<OptionBox, Box> boxes;
  std::map<OptionBox, BoxState> uninstallBoxes;

 private:
  void Log(const std::string& name) { calls += name + " "; }
};

}  // namespace ov::setup
