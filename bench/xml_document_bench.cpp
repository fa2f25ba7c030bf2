// Load + parse + index of generated documents of 1, 10 and 50 MB, flat and
// deeply nested, by the program's XML reader and by pugixml on the same files
// in the same run. Prints the time ratio per document and fits each reader's
// times to O(n) to show that they grow linearly with size.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>

#include "core/localization/xml_document.h"

namespace fs = std::filesystem;
using orlix::localization::XmlDocument;

namespace {

constexpr int kSizesMb[] = {1, 10, 50};

const fs::path& benchFolder() {
  static const fs::path dir = fs::temp_directory_path() / ("orlix_xml_bench_" + std::to_string(::getpid()));
  return dir;
}

// A flat document: one root with many small elements carrying attributes,
// text with references, and now and then a comment or a CDATA section.
std::string flatDocument(size_t bytes) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n";
  s.reserve(bytes + 256);
  for (size_t i = 0; s.size() < bytes; ++i) {
    std::string n = std::to_string(i);
    s += "  <item id=\"" + n + "\" name=\"key " + n + "\">Value " + n + " &amp; more &#x4E2D;</item>\n";
    if (i % 50 == 0) s += "  <!-- group " + n + " -->\n  <note><![CDATA[raw <text> " + n + "]]></note>\n";
  }
  return s + "</root>\n";
}

// A deeply nested document: chains 100 elements deep, one after another.
std::string nestedDocument(size_t bytes) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>";
  s.reserve(bytes + 4096);
  for (size_t i = 0; s.size() < bytes; ++i) {
    for (int d = 0; d < 100; ++d) s += "<level" + std::to_string(d) + " n=\"" + std::to_string(d) + "\">";
    s += "leaf " + std::to_string(i) + " &lt;ok&gt;";
    for (int d = 99; d >= 0; --d) s += "</level" + std::to_string(d) + ">";
    s += "\n";
  }
  return s + "</root>\n";
}

const fs::path& documentFile(bool nested, int mb) {
  static std::map<std::pair<bool, int>, fs::path> files;
  auto& p = files[{nested, mb}];
  if (p.empty()) {
    fs::create_directories(benchFolder());
    p = benchFolder() / ((nested ? "nested_" : "flat_") + std::to_string(mb) + "mb.xml");
    std::string doc = nested ? nestedDocument(size_t(mb) << 20) : flatDocument(size_t(mb) << 20);
    std::ofstream(p, std::ios::binary) << doc;
  }
  return p;
}

void BM_Orlix(benchmark::State& state, bool nested) {
  const fs::path& file = documentFile(nested, int(state.range(0)));
  size_t elements = 0;
  for (auto _ : state) {
    XmlDocument doc;
    if (!doc.LoadDocumentFile(file) || !doc.ParseDocument()) state.SkipWithError("document not well-formed");
    elements = doc.entryCount() - 1;
    benchmark::DoNotOptimize(doc.entry(uint32_t(elements)));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(file)));
  state.SetComplexityN(state.range(0));
  state.counters["elements"] = double(elements);
}

void BM_Pugixml(benchmark::State& state, bool nested) {
  const fs::path& file = documentFile(nested, int(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    pugi::xml_parse_result r = doc.load_file(file.c_str());
    if (!r) state.SkipWithError(r.description());
    benchmark::DoNotOptimize(doc.first_child());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(file)));
  state.SetComplexityN(state.range(0));
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int mb : kSizesMb) b->Arg(mb);
  b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK_CAPTURE(BM_Orlix, flat, false)->Apply(sizes);
BENCHMARK_CAPTURE(BM_Pugixml, flat, false)->Apply(sizes);
BENCHMARK_CAPTURE(BM_Orlix, nested, true)->Apply(sizes);
BENCHMARK_CAPTURE(BM_Pugixml, nested, true)->Apply(sizes);

// Prints as usual and keeps the times, to show the ratio per document at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred)
        times_[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedCPUTime();
  }
  void printRatios() const {
    std::printf("\nRatio of CPU times (program's reader / pugixml), load + parse + index, same files:\n");
    for (const char* shape : {"flat", "nested"}) {
      for (int mb : kSizesMb) {
        std::string suffix = std::string("/") + shape + "/" + std::to_string(mb);
        auto a = times_.find("BM_Orlix" + suffix), b = times_.find("BM_Pugixml" + suffix);
        if (a == times_.end() || b == times_.end()) continue;
        std::printf("  %-6s %3d MB: %8.1f ms vs %8.1f ms  ratio %.2f\n", shape, mb, a->second, b->second,
                    a->second / b->second);
      }
    }
    std::printf("Linearity: see the _BigO rows (time per MB) and the _RMS rows (fit error) above.\n");
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  // Keep freed memory in the process for both readers: by default glibc gives
  // blocks above 32 MB back to the system at once, so every iteration on the
  // 50 MB files would pay fresh page faults that the 10 MB ones do not.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(benchFolder(), ec);
  return 0;
}
