// Throughput of the text classifier against uchardet and ICU's charset
// detector on the same text: the zh_TW and zh_CN message catalogs as one
// Chinese-heavy file each (Big5, GB2312, UTF-8), and 3,000 Delphi units of
// 32 hanzi each, classified one by one as a run does.  Prints MB/s per case.

#include <benchmark/benchmark.h>
#include <uchardet/uchardet.h>
#include <unicode/ucsdet.h>

#include <memory>
#include <string>
#include <vector>

#include "codec/text_class.h"
#include "detect_corpus.h"

namespace {

using bgconv::bench::Snippet;

std::string JoinedLines(const std::vector<std::string>& lines, const char* converter) {
  std::string text;
  for (const auto& line : lines) {
    const auto encoded = converter ? bgconv::bench::Encode(line, converter) : line;
    if (encoded) text += *encoded + "\r\n";
  }
  return text;
}

std::vector<std::string> Units(const std::vector<std::string>& lines) {
  std::size_t next = 0;
  const auto source = [&](std::size_t at_most) {
    for (;;) {
      const std::string cut = bgconv::bench::CutAfterHanzi(lines[next++ % lines.size()], at_most);
      const std::size_t hanzi = bgconv::bench::CountHanzi(cut);
      const auto text = bgconv::bench::Encode(cut, "windows-950-2000");
      if (hanzi > 0 && text) return Snippet{*text, hanzi};
    }
  };
  std::vector<std::string> units;
  for (int i = 0; i < 3000; ++i) units.push_back(bgconv::bench::MakeUnit(source, 32, i + 1));
  return units;
}

struct Corpus {
  std::vector<std::string> taiwan = bgconv::bench::CatalogLines("zh_TW");
  std::vector<std::string> mainland = bgconv::bench::CatalogLines("zh_CN");
  std::string big5 = JoinedLines(taiwan, "windows-950-2000");
  std::string gb2312 = JoinedLines(mainland, "windows-936-2000");
  std::string utf8 = JoinedLines(taiwan, nullptr);
  std::vector<std::string> units = Units(taiwan);
};

const Corpus& Texts() {
  static const Corpus corpus;
  return corpus;
}

std::vector<std::string> Files(const std::string& name) {
  const Corpus& t = Texts();
  if (name == "units") return t.units;
  return {name == "big5" ? t.big5 : name == "gb2312" ? t.gb2312 : t.utf8};
}

template <typename Detect>
void Measure(benchmark::State& state, const std::string& name, Detect detect) {
  const auto files = Files(name);
  std::size_t bytes = 0;
  for (const auto& file : files) bytes += file.size();
  for (auto _ : state)
    for (const auto& file : files) benchmark::DoNotOptimize(detect(file));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void Bgconv(benchmark::State& state, const std::string& name) {
  Measure(state, name, [](const std::string& file) { return bgconv::ClassifyText(file); });
}

void Uchardet(benchmark::State& state, const std::string& name) {
  std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> handle(uchardet_new(),
                                                                                        uchardet_delete);
  Measure(state, name, [&](const std::string& file) {
    uchardet_reset(handle.get());
    uchardet_handle_data(handle.get(), file.data(), file.size());
    uchardet_data_end(handle.get());
    return uchardet_get_charset(handle.get());
  });
}

void Icu(benchmark::State& state, const std::string& name) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> handle(ucsdet_open(&status), ucsdet_close);
  Measure(state, name, [&](const std::string& file) {
    UErrorCode error = U_ZERO_ERROR;
    ucsdet_setText(handle.get(), file.data(), static_cast<std::int32_t>(file.size()), &error);
    return ucsdet_detect(handle.get(), &error);
  });
}

void Register() {
  for (const char* name : {"big5", "gb2312", "utf8", "units"}) {
    benchmark::RegisterBenchmark((std::string("bgconv/") + name).c_str(), Bgconv, name)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("uchardet/") + name).c_str(), Uchardet, name)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("icu/") + name).c_str(), Icu, name)->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
