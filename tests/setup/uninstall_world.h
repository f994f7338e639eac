// A machine to uninstall from for the uninstall run's tests: the in-memory Windows with an
// installed package in C:\Program Files\Orvane\, the record copy in the work folder, a
// headless ui that answers message boxes from a queue, and a view that plays the user at
// the shared-file question and the failure-detail page.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "setup/engine/uninstall_run.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup::test {

class UninstallView : public UninstallRunView {
 public:
  UninstallChoices choices;
  std::deque<SharedAnswer> sharedAnswers;  // empty: "No"
  std::vector<std::string> sharedQuestions;
  std::string statusText;
  std::string detailsCaption;
  std::string details;
  std::string completionCaption;
  bool optionsDisabled = false;
  bool statusShown = false;
  int polls = 0;

  UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override { optionsDisabled = true; }
  void ShowStatusWindow() override { statusShown = true; }
  void SetStatusText(const std::string& text) override { statusText = text; }
  void ProcessMessages() override {}
  SharedAnswer AskSharedFile(const std::string& text) override {
    sharedQuestions.push_back(text);
    if (sharedAnswers.empty()) return SharedAnswer::kNo;
    const SharedAnswer answer = sharedAnswers.front();
    sharedAnswers.pop_front();
    return answer;
  }
  void ShowFailureDetails(const std::string& caption, const std::string& text) override {
    detailsCaption = caption;
    details = text;
    polls = 0;
  }
  bool EventButtonPressed() override { return ++polls >= 3; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string& caption) override { completionCaption = caption; }
  void Beep() override {}
};

struct UninstallWorld {
  UninstallWorld();

  // The record copy's text (UTF-8 source, CP932 at run time).
  void Record(const std::string& text);
  void Put(const std::string& path, const std::string& contents = "x");
  bool Exists(const std::string& path);
  void SetShared(const std::string& path, std::uint32_t count);
  // The SharedDLLs count; -1 without a value.
  std::int64_t Shared(const std::string& path);
  bool KeyExists(platform::RegHandle root, const std::string& keyPath);
  std::string Default(platform::RegHandle root, const std::string& keyPath);
  bool Scheduled(const std::string& path);
  UninstallEnd Run();

  platform::FakePlatform platform;
  ui::headless::HeadlessBackend ui;
  EngineContext context{platform, ui};
  StartupValues startup;
  UninstallView view;
  std::unique_ptr<UninstallRun> run;
};

constexpr const char* kApp = "C:\\Program Files\\Orvane\\";
constexpr const char* kWork = "C:\\WINDOWS\\TEMP\\ODTMP1\\";
constexpr const char* kDesktop = "C:\\Documents and Settings\\taro\\デスクトップ\\";
constexpr const char* kPrograms = "C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\";

}  // namespace ov::setup::test
