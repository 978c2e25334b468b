// SPDX-License-Identifier: GPL-3.0-or-later
// How a scan of a Unicode DataFile compares with the same scan of a Windows-1252 DataFile of the
// same size. Two DataFiles of 100,000 records (255 lessons) are generated: German words with
// umlauts in Windows-1252, and Russian words in UTF-8, with the same number of records and
// entries in the same places. Each scan is timed on both files in turn (so that a busy machine
// slows both alike), N rounds; the medians and their ratio are printed. The goal is at most 1.1.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dictionary/dictionary_search.h"
#include "platform/messages.h"
#include "store/lesson_list.h"
#include "store/statistics.h"
#include "store/vocdata.h"

namespace merkhaus {
namespace {

constexpr std::uint64_t kRecords = 100000;
constexpr int kLessons = 255;

class NoMessages : public Messages {
 public:
  Answer show(MsgKind, const std::string& text, MsgButtons) override {
    throw std::runtime_error("unerwartete Meldung: " + text);
  }
};

// The words of entry n in either kind: the Russian ones take about twice the bytes of the
// German ones, as real Cyrillic text does.
struct Words {
  std::string a1, a2, b1, b2, comment;
};
Words GermanWords(std::uint64_t n) {
  const std::string s = std::to_string(n);
  return {"word " + s, n % 3 == 0 ? "synonym " + s : "", "W\xF6rter " + s,
          n % 5 == 0 ? "\xC4hnliches " + s : "",
          n % 7 == 0 ? "ein Kommentar \xFC"
                       "ber " +
                           s
                     : ""};
}
Words RussianWords(std::uint64_t n) {
  const std::string s = std::to_string(n);
  return {"word " + s, n % 3 == 0 ? "synonym " + s : "", "Слово " + s,
          n % 5 == 0 ? "Похожее " + s : "", n % 7 == 0 ? "комментарий " + s : ""};
}

std::string Generate(const std::filesystem::path& path, TextEncoding enc) {
  std::vector<TVocData> records;
  records.reserve(kRecords);
  records.push_back(MakeDataFileHeader(WinString("Benchmark"), WinString("Fremd"),
                                       WinString("Deutsch"), WinString(""), WinString(""), enc));
  const std::uint64_t entries = kRecords - 1 - kLessons;
  std::uint64_t made = 0;
  for (int lesson = 0; lesson < kLessons; ++lesson) {
    const auto id = static_cast<std::uint8_t>(lesson + 1);
    records.push_back(
        MakeUnitHeader(id, WinString("Lektion " + std::to_string(lesson + 1), enc), WinString()));
    const std::uint64_t upTo = entries * static_cast<std::uint64_t>(lesson + 1) / kLessons;
    for (; made < upTo; ++made) {
      const Words w = enc == TextEncoding::Utf8 ? RussianWords(made) : GermanWords(made);
      TVocData e = EmptyRecord();
      e.A1.set(WinString(w.a1, enc));
      e.A2.set(WinString(w.a2, enc));
      e.B1.set(WinString(w.b1, enc));
      e.B2.set(WinString(w.b2, enc));
      e.Comment.set(WinString(w.comment, enc));
      e.UnitID = id;
      records.push_back(e);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(records.data()),
            static_cast<std::streamsize>(records.size() * kRecordSize));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path.string();
}

// The time a run takes: by the wall clock, and the processor time of this thread, which a busy
// machine changes far less (the time while other programs run is not counted).
struct Times {
  double wall;
  double cpu;
};
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
Times Ms(const std::function<void()>& f) {
  const double cpu = ThreadCpuMs();
  const auto start = std::chrono::steady_clock::now();
  f();
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return {wall, ThreadCpuMs() - cpu};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Scan {
  const char* name;
  std::function<void(const std::string& path, TextEncoding enc)> run;
};

void Search(const std::string& path, const WinString& term, bool caseSensitive, std::size_t hits) {
  NoMessages messages;
  DictionarySearch search(messages);
  SearchSettings settings;
  settings.caseSensitive = caseSensitive;
  if (search.search(path, term, settings) != DictionarySearch::Outcome::Searched ||
      search.hitCount() != hits) {
    throw std::logic_error("the search found " + std::to_string(search.hitCount()) + " entries");
  }
}

}  // namespace
}  // namespace merkhaus

int main(int argc, char** argv) {
  using namespace merkhaus;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  std::string pattern =
      (std::filesystem::temp_directory_path() / "merkhaus-ubench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const std::filesystem::path dir = pattern;
  const std::string western = Generate(dir / "westeuropaeisch.fid", TextEncoding::Cp1252);
  const std::string unicode = Generate(dir / "unicode.fid", TextEncoding::Utf8);

  // Terms of the same shape in both: a word of the B side and a number, typed in capitals.
  const auto term = [](TextEncoding e, bool capitals) {
    if (e == TextEncoding::Utf8) return WinString(capitals ? "СЛОВО 4711" : "Слово 4711", e);
    return WinString(capitals ? "W\xD6RTER 4711" : "W\xF6rter 4711", e);
  };
  const Scan scans[] = {
      {"Wörterbuch, Groß/klein egal",
       [&](const std::string& p, TextEncoding e) {
         // ö/Ö are not folded in Windows-1252: the term typed as stored there.
         Search(p, e == TextEncoding::Utf8 ? term(e, true) : WinString("W\xF6RTER 4711"), false,
                11);
       }},
      {"Wörterbuch, Groß/klein beachten",
       [&](const std::string& p, TextEncoding e) { Search(p, term(e, false), true, 11); }},
      {"Wörterbuch, ohne Fund",
       [&](const std::string& p, TextEncoding e) {
         Search(p, e == TextEncoding::Utf8 ? WinString("НЕТ", e) : WinString("NICHTS"), false, 0);
       }},
      {"Lektionsliste", [&](const std::string& p, TextEncoding) { (void)ReadLessonList(p); }},
      {"Editor-Statistik", [&](const std::string& p, TextEncoding) { (void)CountRecords(p); }},
  };
  std::printf("Zwei DataFiles zu %llu Datensätzen (%ju Bytes), N = %d Runden je Messung\n",
              static_cast<unsigned long long>(kRecords),
              static_cast<std::uintmax_t>(std::filesystem::file_size(unicode)), rounds);
  std::printf("%-42s %12s %12s %7s   %s\n", "Durchlauf", "cp1252 (ms)", "Unicode (ms)", "Faktor",
              "Prozessorzeit: cp1252, Unicode, Faktor");
  bool met = true;
  for (const Scan& s : scans) {
    s.run(western, TextEncoding::Cp1252);  // warm the page cache and the tables
    s.run(unicode, TextEncoding::Utf8);
    std::vector<double> a, b, cpuA, cpuB;
    for (int i = 0; i < rounds; ++i) {
      const Times ta = Ms([&] { s.run(western, TextEncoding::Cp1252); });
      const Times tb = Ms([&] { s.run(unicode, TextEncoding::Utf8); });
      a.push_back(ta.wall);
      b.push_back(tb.wall);
      cpuA.push_back(ta.cpu);
      cpuB.push_back(tb.cpu);
    }
    const double ratio = Median(b) / Median(a);
    met = met && ratio <= 1.1;
    std::printf("%-42s %12.2f %12.2f %6.2fx %-10s   %6.2f %6.2f %5.2fx\n", s.name, Median(a),
                Median(b), ratio, ratio <= 1.1 ? "ok" : "ZU LANGSAM", Median(cpuA), Median(cpuB),
                Median(cpuB) / Median(cpuA));
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::printf("Ziel: höchstens 1.1x — %s\n", met ? "erreicht" : "nicht erreicht");
  return 0;
}
