// Per-operation costs of the variant layer and of item lookup, and the growth of string appends.
// Run: build/bench/bin/script_engine_gbench
#include <benchmark/benchmark.h>

#include "script/program/script.h"

namespace kelvo {
namespace {

void BM_VariantAddIntegers(benchmark::State& state) {
  Variant a(12345), b(678);
  for (auto _ : state) benchmark::DoNotOptimize(VarAdd(a, b));
}
BENCHMARK(BM_VariantAddIntegers);

void BM_VariantAddFloatAndInteger(benchmark::State& state) {
  Variant a(1.5), b(678);
  for (auto _ : state) benchmark::DoNotOptimize(VarAdd(a, b));
}
BENCHMARK(BM_VariantAddFloatAndInteger);

void BM_VariantCompareStrings(benchmark::State& state) {
  Variant a("modem-answer-OK"), b("modem-answer-ERROR");
  for (auto _ : state) benchmark::DoNotOptimize(VarCompare(a, b, TVarCompareOp::Less));
}
BENCHMARK(BM_VariantCompareStrings);

void BM_VariantConcatenate(benchmark::State& state) {
  Variant a("AT+CGDCONT=1,"), b("\"IP\"");
  for (auto _ : state) benchmark::DoNotOptimize(VarAdd(a, b));
}
BENCHMARK(BM_VariantConcatenate);

void BM_ItemLookupIn1000Names(benchmark::State& state) {
  TfsScript prog;
  for (int i = 0; i < 1000; ++i) prog.AddVariable("Item" + std::to_string(i), "Variant", Variant(i));
  std::vector<std::string> names;
  for (int i = 0; i < 1000; i += 37) names.push_back("ITEM" + std::to_string(i));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(prog.Find(names[k]));
    k = (k + 1) % names.size();
  }
}
BENCHMARK(BM_ItemLookupIn1000Names);

// Appending to a string held by one owner: the time per append must not grow with the length.
void BM_StringAppend(benchmark::State& state) {
  for (auto _ : state) {
    Variant s{std::string()};
    Variant piece("ab");
    for (int64_t i = 0; i < state.range(0); ++i) VarAddInPlace(s, piece);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringAppend)->Arg(10000)->Arg(100000);

}  // namespace
}  // namespace kelvo
