// Costs of the bulk rename preview, each also shown as a ratio ("x_floor") to a floor
// measured in the same run: copying a name and splitting it into base and extension, the
// least any rename rule does per row. Absolute times on a shared machine are noise; the
// ratios are what to compare between runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "shellext/tools/bulk_rename_rules.h"
#include "shellext/tools/form_bulk_rename.h"
#include "shellext/tools/regex_pattern.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless/headless_backend.h"

namespace {

using ov::shellext::BulkRenameSettings;
using Clock = std::chrono::steady_clock;

// One screen of the preview: 40 names of mixed forms, some double-byte.
std::vector<std::string> ScreenOfNames() {
  const char* const forms[] = {"IMG_%04d-2.JPEG", "photo (%d).jpg", "写真[%03d].png", "report_%d_final.doc",
                               "ソ表_%d.txt",     "a-%d-1.tmp",     "README%d",       "archive%d.tar.gz"};
  std::vector<std::string> names;
  for (int k = 0; k < 40; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, forms[k % 8], k + 1);
    names.push_back(name);
  }
  return names;
}

BulkRenameSettings AllRules() {
  BulkRenameSettings settings;
  settings.removeNumbers = true;
  settings.removeNumbersItem = 0;
  settings.changeExt = true;
  settings.changeExtTable = {".jpeg=.jpg", ".tmp=", ".JPG=.jpg", ".txt=.text"};
  settings.useRegExp = true;
  settings.pattern = "(.*)_(\\d+)";
  settings.format = "$2-$1";
  return settings;
}

const std::string kRow = "IMG_0001-2.JPEG";
const std::string kPathological = std::string(255, 'a') + "!";

// The floor: copy the name and split it at its last dot.
std::size_t SplitName(const std::string& name) {
  const std::string copy = name;
  const std::size_t dot = ov::base::FindLastAscii(copy, '.');
  const std::string base = copy.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : copy.substr(dot);
  return base.size() + extension.size();
}

double FloorNanoseconds() {
  static const double floor = [] {
    double best = 1e30;
    for (int round = 0; round < 20; ++round) {
      const auto start = Clock::now();
      constexpr int kCalls = 20000;
      for (int k = 0; k < kCalls; ++k) benchmark::DoNotOptimize(SplitName(kRow));
      best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kCalls);
    }
    return best;
  }();
  return floor;
}

// Runs body per iteration; reports its time per row as a multiple of the floor.
template <typename Body>
void Measure(benchmark::State& state, int rowsPerIteration, Body body) {
  const double floor = FloorNanoseconds();
  const auto start = Clock::now();
  for (auto _ : state) body();
  const double perRow = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                        (static_cast<double>(state.iterations()) * rowsPerIteration);
  state.counters["ns_per_row"] = perRow;
  state.counters["x_floor"] = perRow / floor;
  state.SetItemsProcessed(state.iterations() * rowsPerIteration);
}

void BM_Floor_SplitName(benchmark::State& state) {
  Measure(state, 1, [] { benchmark::DoNotOptimize(SplitName(kRow)); });
}

void BM_BuildBulkRenameName_AllRules_Row(benchmark::State& state) {
  ov::platform::FakePlatform platform;
  ov::platform::SystemApi& system = platform.System();
  const BulkRenameSettings settings = AllRules();
  Measure(state, 1, [&] { benchmark::DoNotOptimize(ov::shellext::BuildBulkRenameName(system, settings, kRow)); });
}

void BM_BuildBulkRenameName_AllRules_Screen40(benchmark::State& state) {
  ov::platform::FakePlatform platform;
  ov::platform::SystemApi& system = platform.System();
  const BulkRenameSettings settings = AllRules();
  const std::vector<std::string> names = ScreenOfNames();
  Measure(state, static_cast<int>(names.size()), [&] {
    for (const std::string& name : names) {
      benchmark::DoNotOptimize(ov::shellext::BuildBulkRenameName(system, settings, name));
    }
  });
}

void BM_BuildBulkRenameName_Pathological_Row(benchmark::State& state) {
  ov::platform::FakePlatform platform;
  ov::platform::SystemApi& system = platform.System();
  BulkRenameSettings settings;
  settings.useRegExp = true;
  settings.pattern = "(a+)+$";
  settings.format = "x";
  const std::string name = kPathological + ".txt";
  Measure(state, 1, [&] { benchmark::DoNotOptimize(ov::shellext::BuildBulkRenameName(system, settings, name)); });
}

void BM_RegexPattern_CompileAndMatch_Row(benchmark::State& state) {
  Measure(state, 1, [] {
    const std::optional<ov::shellext::RegexPattern> pattern = ov::shellext::RegexPattern::Compile("(.*)_(\\d+)");
    benchmark::DoNotOptimize(pattern->Match("IMG_0001").Count());
  });
}

// One screen of the dialog's own preview for a selection of 100,000 files, all three rules
// on: for each of the 40 rows on screen the list asks PreviewData for the texts and draws
// every cell, and PreviewCustomDrawSubItem computes the new name again and asks the file
// system whether it exists. Each iteration scrolls to another screen.
void BM_FormBulkRename_PreviewScreen40_100000Files(benchmark::State& state) {
  ov::platform::FakePlatform platform;
  ov::ui::headless::HeadlessBackend backend;
  std::vector<std::string> selection;
  constexpr int kFiles = 100000;
  selection.reserve(kFiles);
  for (int k = 0; k < kFiles; ++k) {
    char path[64];
    std::snprintf(path, sizeof path, "C:\\写真\\IMG_%06d-2.JPEG", k);
    platform.Files().PutFile(path, "");
    selection.push_back(path);
  }
  ov::shellext::TFormBulkRename form(backend, platform, &selection);
  form.ChkRemoveNumbers.SetChecked(true);
  form.ChkChangeExt.SetChecked(true);
  for (const char* line : {".jpeg=.jpg", ".tmp=", ".txt=.text"}) {
    const std::string text(line);
    form.EditOldExt.SetText(text.substr(0, text.find('=')));
    form.EditNewExt.SetText(text.substr(text.find('=') + 1));
    form.BtnAddExt.Click();
  }
  form.ChkUseRegExp.SetChecked(true);
  form.EditPattern.SetText("(.*)_(\\d+)");
  form.EditFormat.SetText("$2-$1");
  int top = 0;
  Measure(state, 40, [&] {
    ov::ui::headless::HeadlessBackend::SetVisibleRows(form.Preview, top, 40);
    ov::ui::headless::HeadlessBackend::Paint(form.Preview);
    top = (top + 40 * 97) % (kFiles - 40);
  });
}

BENCHMARK(BM_Floor_SplitName);
BENCHMARK(BM_BuildBulkRenameName_AllRules_Row);
BENCHMARK(BM_BuildBulkRenameName_AllRules_Screen40);
BENCHMARK(BM_BuildBulkRenameName_Pathological_Row);
BENCHMARK(BM_RegexPattern_CompileAndMatch_Row);
BENCHMARK(BM_FormBulkRename_PreviewScreen40_100000Files)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
