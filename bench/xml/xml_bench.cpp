// Load and save speed of the library document model on a generated library of 5 000 modems with
// 10 scripts each (bodies of 0.4 to 1.2 KB of hexadecimal text, about 40 MB).
//   xml_bench generate FILE   writes the library
//   xml_bench load FILE       loads it (best of 3) and saves it, printing MB/s and peak memory
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/generated_library.h"
#include "xml/xp_obj_model.h"

using namespace kelvo;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

int Load(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 1;
  std::fseek(f, 0, SEEK_END);
  double mb = static_cast<double>(std::ftell(f)) / 1e6;
  std::fclose(f);

  TXpObjModel model;
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    if (!model.LoadDataSource(path)) return 1;
    best = std::min(best, Seconds(start));
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;

  double bestSave = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    model.SaveToFile(path + ".saved");
    bestSave = std::min(bestSave, Seconds(start));
  }
  std::remove((path + ".saved").c_str());
  double bestSerialise = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    std::string bytes = model.SaveToString();
    bestSerialise = std::min(bestSerialise, Seconds(start));
  }
  std::printf("serialise_s %.3f\n", bestSerialise);
  std::printf("file_mb %.1f\nload_s %.3f\nload_mb_s %.1f\nsave_s %.3f\nsave_mb_s %.1f\npeak_loaded_mb %.1f\n",
              mb, best, mb / best, bestSave, mb / bestSave, peakMb);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: xml_bench generate|load FILE\n");
    return 2;
  }
  std::string cmd = argv[1];
  if (cmd == "generate") {
    GenerateLibrary(argv[2]);
    return 0;
  }
  return cmd == "load" ? Load(argv[2]) : 2;
}
