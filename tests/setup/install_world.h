// A machine to install on for the install run's tests: the in-memory Windows with an
// installation medium on D:, a start-up as start-up leaves it, a headless ui that answers
// message boxes from a queue, and a view that records what the run showed and plays the
// user at the status window and the wizard's last pages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "setup/engine/install_run.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup::test {

class RecordingRunView : public InstallRunView {
 public:
  WizardChoices choices;
  int abortAt = 0;        // the checkpoint (1, 2, ...) at which the user presses abort
  bool chooseSecond = false;
  int pollsBeforePress = 2;  // each wait loop sees its button pressed on this poll

  int checkpoints = 0;
  bool aborted = false;
  std::string statusText;
  std::vector<std::string> progress;  // "position|text"
  std::string failureDetails;
  bool detailsShown = false;
  FinalChoice finalChoice;
  bool finalShown = false;
  bool restartRequested = false;
  int finished = 0;
  bool abortEnabled = false;
  bool progressVisible = false;

  WizardChoices ReadChoices() override { return choices; }
  void HideMainWindow() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string& text) override { statusText = text; }
  void ShowProgress(bool visible) override { progressVisible = visible; }
  void SetProgress(int position, const std::string& text) override {
    progress.push_back(std::to_string(position) + "|" + text);
  }
  void EnableAbort(bool enabled) override { abortEnabled = enabled; }
  void ProcessMessages() override {}
  bool Aborted() override {
    ++checkpoints;
    if (abortAt != 0 && checkpoints == abortAt) aborted = true;
    return aborted;
  }
  void ShowFailureDetails(const std::string& details) override {
    failureDetails = details;
    detailsShown = true;
    polls_ = 0;
  }
  void EndFailureDetails() override {}
  bool EventButtonPressed() override { return ++polls_ >= pollsBeforePress; }
  void ShowNextButton() override { polls_ = 0; }
  bool NextPressed() override { return ++polls_ >= pollsBeforePress; }
  void Beep() override {}
  void ShowFinalChoice(const FinalChoice& choice) override {
    finalChoice = choice;
    finalShown = true;
    polls_ = 0;
  }
  bool SecondChoiceSelected() override { return chooseSecond; }
  void HideWindows() override {}
  void RequestRestart() override { restartRequested = true; }
  void FinishWizard() override { ++finished; }

 private:
  int polls_ = 0;
};

// SZDD data that expands to text, recording lastCharacter as the name's last character.
std::string Compressed(const std::string& text, char lastCharacter);

struct InstallWorld {
  InstallWorld();

  // The script copy's text (UTF-8 source, CP932 at run time).
  void Script(const std::string& text);
  void Medium(const std::string& name, const std::string& contents);
  std::string Contents(const std::string& path);
  bool Exists(const std::string& path);
  RunEnd Run();

  platform::FakePlatform platform;
  ui::headless::HeadlessBackend ui;
  EngineContext context{platform, ui};
  StartupValues startup;
  RecordingRunView view;
  std::unique_ptr<InstallRun> run;
};

constexpr const char* kApp = "C:\\Program Files\\Orvane\\";
constexpr const char* kWork = "C:\\WINDOWS\\TEMP\\ODTMP1\\";

}  // namespace ov::setup::test
