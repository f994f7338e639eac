// SafeRenameBatch on the fake for rotations of 1,000, 10,000 and 100,000 files (every step
// moves a holder aside and looks its target up in the working list), against a floor: the
// same platform calls issued in a bare loop. The per-file cost should stay flat as the
// batch grows (the lookup is an ordered index, not a scan); "x_floor" is the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shellext/tools/safe_rename_batch.h"

namespace {

const char kFolder[] = "C:\\work\\";

std::string Name(std::size_t i) { return "f" + std::to_string(i); }

std::vector<std::string> Setup(ov::platform::FakePlatform& fake, std::size_t count) {
  fake.Failures().SetLogging(false);
  fake.Files().CreateFolder("C:\\work");
  std::vector<std::string> batch;
  for (std::size_t i = 0; i < count; ++i) {
    batch.push_back(kFolder + Name(i));
    fake.Files().PutFile(batch.back(), "");
  }
  return batch;
}

double FloorSeconds(std::size_t count) {
  ov::platform::FakePlatform fake;
  Setup(fake, count);
  auto& files = fake.Files();
  const auto start = std::chrono::steady_clock::now();
  std::string current = kFolder + Name(0);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string target = kFolder + Name(i + 1);
    std::string next;
    if (i + 1 < count) {
      files.TempFileName(kFolder, "RNF", 0, next);
      files.Delete(next);
      files.Move(target, next);
    }
    files.Move(current, target);
    current = next;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SafeRenameBatchRotation(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::size_t> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = i;
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto fake = std::make_unique<ov::platform::FakePlatform>();
    const std::vector<std::string> batch = Setup(*fake, count);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    ov::shellext::SafeRenameBatch(*fake, batch, order, [](std::size_t k, std::size_t) { return Name(k + 1); },
                                  [](const std::string&) {});
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    // The fake machine is torn down outside the timing.
    fake.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
  state.counters["us_per_file"] = total / static_cast<double>(state.iterations()) / static_cast<double>(count) * 1e6;
  state.counters["x_floor"] = total / static_cast<double>(state.iterations()) / FloorSeconds(count);
}

BENCHMARK(BM_SafeRenameBatchRotation)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
