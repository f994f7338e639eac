// The conditional delete dialog with 300 condition lines (half of them regular
// expressions, "any one" chosen, so that a row that matches nothing goes through every
// line): adding one more line, which redraws the visible rows. "x_floor" is the ratio to a
// floor measured in the same run: compiling that one line, then judging the same rows in a
// bare loop over lines compiled beforehand, the least any marking can do. For comparison,
// the same rows judged by compiling every line for every row, as the marking once did.
// Times are the thread's processor time, so that other work on a shared machine does not
// count, and both sides are means.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/path_parts.h"
#include "platform/fake/fake_platform.h"
#include "shellext/tools/form_conditional_delete.h"
#include "shellext/tools/form_conditional_delete_conditions.h"
#include "shellext/tools/regex_pattern.h"
#include "ui/headless/headless_backend.h"

namespace {

using ov::shellext::ConditionString;

constexpr int kLines = 300;
constexpr int kFiles = 1000;
constexpr int kVisibleRows = 20;
const ConditionString kNewLine{"^写真表\\[\\d+\\]_(final|draft)\\.jpe?g$", true};

std::vector<ConditionString> Lines() {
  std::vector<ConditionString> lines;
  char text[64];
  for (int i = 0; i < kLines; ++i) {
    if (i % 2 == 0) {
      std::snprintf(text, sizeof text, "^IMG_%d(\\d{2,4})-[a-z]+表\\.(jpe?g|png)$", i);
      lines.push_back({text, true});
    } else {
      std::snprintf(text, sizeof text, "report_%03d", i);
      lines.push_back({text, false});
    }
  }
  return lines;
}

std::string FileName(int k) {
  char name[64];
  std::snprintf(name, sizeof name, "C:\\bench\\写真ソ_%04d.jpg", k);
  return name;
}

// The dialog open on kFiles files with the kLines lines added, as a user would add them.
struct Dialog {
  ov::platform::FakePlatform platform;
  ov::ui::headless::HeadlessBackend ui;
  std::unique_ptr<ov::shellext::TFormConditionalDelete> form;

  Dialog() {
    platform.Failures().SetLogging(false);
    std::vector<std::string> selection;
    for (int k = 0; k < kFiles; ++k) {
      selection.push_back(FileName(k));
      platform.Files().PutFile(selection.back(), "x");
    }
    form = std::make_unique<ov::shellext::TFormConditionalDelete>(ui, platform, selection);
    ov::ui::headless::HeadlessBackend::SetVisibleRows(form->FileListView, 0, kVisibleRows);
    form->RbOneOf.Click();
    for (const ConditionString& line : Lines()) Add(line);
  }
  void Add(const ConditionString& line) {
    form->EditStr.SetText(line.text);
    form->ChkUseRegExp.SetChecked(line.regExp);
    form->BtnStrAdd.Click();
  }
  void RemoveLast() {
    form->StrList.Choose(static_cast<int>(form->StrList.Items().size()) - 1);
    form->BtnStrDelete.Click();
  }
};

double Now() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The mean of many rounds: compile the new line, then judge the visible rows with all lines
// compiled beforehand.
double FloorSeconds() {
  static const double floor = [] {
    std::vector<ConditionString> lines = Lines();
    lines.push_back(kNewLine);
    std::vector<std::optional<ov::shellext::RegexPattern>> compiled;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      compiled.push_back(lines[i].regExp ? ov::shellext::RegexPattern::Compile(lines[i].text) : std::nullopt);
    }
    constexpr int kRounds = 200;
    double total = 0;
    for (int round = 0; round < kRounds; ++round) {
      const double start = Now();
      compiled.push_back(ov::shellext::RegexPattern::Compile(kNewLine.text));
      int hits = 0;
      for (int k = 0; k < kVisibleRows; ++k) {
        const std::string name = ov::base::NamePart(FileName(k));
        for (std::size_t i = 0; i < lines.size(); ++i) {
          const bool hit = lines[i].regExp ? compiled[i].has_value() && compiled[i]->Match(name).Matched()
                                           : ov::shellext::ContainsPlain(name, lines[i].text);
          if (hit) {
            ++hits;
            break;
          }
        }
      }
      benchmark::DoNotOptimize(hits);
      total += Now() - start;
      compiled.pop_back();
    }
    return total / kRounds;
  }();
  return floor;
}

void Report(benchmark::State& state, double total) {
  const double perAdd = total / static_cast<double>(state.iterations());
  state.counters["ms"] = perAdd * 1000;
  state.counters["x_floor"] = perAdd / FloorSeconds();
}

// One more line added and the visible rows redrawn, through the dialog.
void BM_AddLineAndRedraw(benchmark::State& state) {
  Dialog dialog;
  double total = 0;
  for (auto _ : state) {
    const double start = Now();
    dialog.Add(kNewLine);
    const double seconds = Now() - start;
    state.SetIterationTime(seconds);
    total += seconds;
    dialog.RemoveLast();
  }
  Report(state, total);
}

// The same rows judged by compiling every line for every row.
void BM_CompilingEveryLineForEveryRow(benchmark::State& state) {
  ov::shellext::DeleteConditions conditions;
  conditions.strings = Lines();
  conditions.strings.push_back(kNewLine);
  conditions.allOf = false;
  double total = 0;
  for (auto _ : state) {
    const double start = Now();
    int red = 0;
    for (int k = 0; k < kVisibleRows; ++k) {
      red += ov::shellext::MeetsDeleteConditions(ov::base::NamePart(FileName(k)), 1, conditions) ? 1 : 0;
    }
    benchmark::DoNotOptimize(red);
    const double seconds = Now() - start;
    state.SetIterationTime(seconds);
    total += seconds;
  }
  Report(state, total);
}

BENCHMARK(BM_AddLineAndRedraw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompilingEveryLineForEveryRow)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
