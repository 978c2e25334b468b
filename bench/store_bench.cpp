// SPDX-License-Identifier: GPL-3.0-or-later
// How the store's scans compare with simply reading the file.
//
// A DataFile of 100,000 records (about 62 MB, 255 lessons) is generated once in a temporary
// folder, and a copy of it in which a third of the entries are deleted. Every operation is timed
// next to a plain read of the same file in blocks of the same size as the store reads (256
// records per call), the two taking turns so that a busy machine slows both alike; the column
// "x_plain_read" and the summary at the end give the ratio. The store should stay within 1.5
// times the plain read. The cleanup, which writes two files, is measured against copying the
// file (written whole and flushed to the disk, as the cleanup writes its files) and should stay
// within 2.5 times that.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dictionary/dictionary_search.h"
#include "maintenance/cleanup.h"
#include "platform/file_io.h"
#include "platform/messages.h"
#include "store/append.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "store/restore.h"
#include "store/statistics.h"
#include "store/vocdata.h"

namespace merkhaus {
namespace {

constexpr std::uint64_t kRecords = 100000;
constexpr int kLessons = 255;
constexpr double kTarget = 1.5;
constexpr double kCleanupTarget = 2.5;

// Nothing in a benchmark may ask the learner anything.
class NoMessages : public Messages {
 public:
  Answer show(MsgKind, const std::string& text, MsgButtons) override {
    throw std::runtime_error("unerwartete Meldung: " + text);
  }
};

// UnitIDs in the order a fresh DataFile hands them out: 1, 255, 254, ..., 2.
std::uint8_t NthUnitId(int n) {
  return static_cast<std::uint8_t>(n == 0 ? 1 : 256 - n);
}

class BenchFile {
 public:
  BenchFile() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "merkhaus-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    path_ = (dir_ / "gross.fid").string();
    generate();
  }
  ~BenchFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  const std::string& path() const { return path_; }
  // The same DataFile with every third entry deleted.
  const std::string& thirdDeletedPath() const { return thirdDeleted_; }
  // Room for files an operation writes.
  std::string file(const char* name) const { return (dir_ / name).string(); }
  std::uint8_t lastUnit() const { return lastUnit_; }
  const TVocData& lastRecord() const { return lastRecord_; }

 private:
  // Each lesson's header followed by its share of the entries, so the last lesson's entries
  // fill the end of the file.
  void generate() {
    std::vector<TVocData> records;
    records.reserve(kRecords);
    records.push_back(MakeDataFileHeader(WinString("Benchmark"), WinString("Englisch"),
                                         WinString("Deutsch"), WinString("merkhaus_bench"),
                                         WinString("100000 Datensätze")));
    const std::uint64_t entries = kRecords - 1 - kLessons;
    std::uint64_t made = 0;
    for (int lesson = 0; lesson < kLessons; ++lesson) {
      const std::uint8_t id = NthUnitId(lesson);
      records.push_back(MakeUnitHeader(id, WinString("Lektion " + std::to_string(lesson + 1)),
                                       WinString("erzeugt")));
      const std::uint64_t upTo = entries * static_cast<std::uint64_t>(lesson + 1) / kLessons;
      for (; made < upTo; ++made) {
        TVocData e = EmptyRecord();
        const std::string n = std::to_string(made);
        e.A1.set("word " + n);
        e.A2.set(made % 3 == 0 ? "synonym " + n : std::string());
        e.B1.set("Wort " + n);
        e.B2.set(made % 5 == 0 ? "Synonym " + n : std::string());
        e.Comment.set(made % 7 == 0 ? "ein Kommentar zu Eintrag " + n : std::string());
        e.UnitID = id;
        records.push_back(e);
      }
      lastUnit_ = id;
    }
    if (records.size() != kRecords) throw std::logic_error("wrong record count");
    lastRecord_ = records.back();
    Write(path_, records);
    thirdDeleted_ = (dir_ / "drittel-geloescht.fid").string();
    std::uint64_t entry = 0;
    for (TVocData& r : records) {
      if (&r != &records.front() && !IsUnitHeader(r) && entry++ % 3 == 0) r.Deleted = 1;
    }
    Write(thirdDeleted_, records);
  }

  static void Write(const std::string& path, const std::vector<TVocData>& records) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(records.data()),
              static_cast<std::streamsize>(records.size() * kRecordSize));
    if (!out) throw std::runtime_error("cannot write " + path);
  }

  std::filesystem::path dir_;
  std::string path_;
  std::string thirdDeleted_;
  std::uint8_t lastUnit_ = 0;
  TVocData lastRecord_{};
};

BenchFile& Bench() {
  static BenchFile file;
  return file;
}

// The yardstick: the whole file read in blocks of RecordFile::kBlockRecords records, nothing
// done with the bytes.
std::uint64_t PlainRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  std::vector<char> block(RecordFile::kBlockRecords * kRecordSize);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, block.data(), block.size());
    if (n <= 0) break;
    total += static_cast<std::uint64_t>(n);
  }
  ::close(fd);
  benchmark::DoNotOptimize(block.data());
  return total;
}

using Clock = std::chrono::steady_clock;

struct Ratio {
  double value;
  double target;
  const char* yardstick;
};
std::map<std::string, Ratio> g_ratios;  // operation -> its time / the yardstick's time

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Runs `op` in the benchmark loop, each time right after a plain read of the file, so that both
// meet the same machine load; reports the time of `op` and the ratio of the two sums.
template <class Op>
void Timed(benchmark::State& state, const char* name, Op&& op,
           const std::string& path = Bench().path(), bool summarised = true) {
  double plain = 0, timed = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    PlainRead(path);
    const auto t1 = Clock::now();
    op();
    const auto t2 = Clock::now();
    plain += Seconds(t0, t1);
    timed += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t1, t2));
  }
  const double ratio = timed / plain;
  state.counters["x_plain_read"] = ratio;
  if (summarised) g_ratios[name] = {ratio, kTarget, "Lesen"};
}

// The cleanup's yardstick: the file copied whole into a new file, flushed and renamed into
// place, read in the same blocks.
void CopyWhole(const std::string& from, const std::string& to) {
  auto in = File::open(from, File::Mode::Read, Lock::None);
  if (!in) throw std::runtime_error(in.error().text());
  AtomicFile out;
  std::vector<char> block(RecordFile::kBlockRecords * kRecordSize);
  if (auto created = out.create(to); !created) throw std::runtime_error(created.error().text());
  for (std::uint64_t offset = 0;;) {
    const std::size_t n = in->readAt(block.data(), block.size(), offset);
    if (n == 0) break;
    if (auto written = out.write(block.data(), n); !written) {
      throw std::runtime_error(written.error().text());
    }
    offset += n;
  }
  if (auto committed = out.commit(); !committed) throw std::runtime_error(committed.error().text());
}

void BM_PlainBlockRead(benchmark::State& state) {
  const std::string& path = Bench().path();
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    bytes = PlainRead(path);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_ReadLessonLastLesson(benchmark::State& state) {
  Timed(state, "ReadLesson (letzte Lektion)", [&] {
    const auto lesson = ReadLesson(Bench().path(), Bench().lastUnit(), kMaxEntries);
    if (!lesson || lesson->entries.size() != kMaxEntries) {
      throw std::logic_error("ReadLesson loaded too few");
    }
  });
}

void BM_ReadLessonList(benchmark::State& state) {
  Timed(state, "ReadLessonList", [&] {
    const auto list = ReadLessonList(Bench().path());
    if (!list || list->lines.size() != kLessons) {
      throw std::logic_error("ReadLessonList missed lessons");
    }
  });
}

void BM_ReplaceLastRecord(benchmark::State& state) {
  // Alternates between two versions of the last record, so every call really writes.
  TVocData a = Bench().lastRecord();
  TVocData b = a;
  b.Comment.set("geändert");
  bool toB = true;
  Timed(state, "ReplaceRecord (letzter Datensatz)", [&] {
    if (const auto replaced = ReplaceRecord(Bench().path(), toB ? a : b, toB ? b : a, true);
        !replaced) {
      throw std::runtime_error(replaced.error().file.text());
    }
    toB = !toB;
  });
  if (!toB) (void)ReplaceRecord(Bench().path(), b, a, true);  // leave the file as generated
}

// The same scan and write without waiting for the disk, to show what the flush costs.
void BM_ReplaceLastRecordUnflushed(benchmark::State& state) {
  TVocData a = Bench().lastRecord();
  TVocData b = a;
  b.Comment.set("geändert");
  bool toB = true;
  auto replace = [&](const TVocData& from, const TVocData& to) {
    auto file = RecordFile::open(Bench().path(), Access::Write);
    if (!file) throw std::runtime_error(file.error().text());
    file->scan(0, [&](std::uint64_t index, const TVocData& r) {
      if (RecordsEqual(r, from)) file->write(index, to);
      return true;
    });
    file->close();
  };
  Timed(state, "ReplaceRecord ohne Flush", [&] {
    replace(toB ? a : b, toB ? b : a);
    toB = !toB;
  });
  if (!toB) replace(b, a);
}

// The dictionary's search over the whole file with every field switched on and case folded
// (the most work per record), progress told as to the window's progress bar.
void BM_DictionarySearch(benchmark::State& state) {
  NoMessages messages;
  DictionarySearch search(messages);
  SearchSettings settings;
  settings.caseSensitive = false;
  std::uint64_t steps = 0, shown = 0;
  const SearchProgress progress = [&](std::uint64_t read, std::uint64_t) {
    ++steps;
    shown = read;
    benchmark::DoNotOptimize(shown);
  };
  Timed(state, "DictionarySearch (alle Felder)", [&] {
    if (search.search(Bench().path(), WinString("WORT 4711"), settings, progress) !=
            DictionarySearch::Outcome::Searched ||
        search.hitCount() != 11) {
      throw std::logic_error("DictionarySearch found the wrong entries");
    }
  });
  state.counters["progress_steps"] =
      static_cast<double>(steps) / static_cast<double>(state.iterations());
}

// The editor's figures: one pass over the file with a third of its entries deleted.
void BM_EditorStatistics(benchmark::State& state) {
  Timed(
      state, "CountRecords (Editor-Statistik)",
      [&] {
        const auto counts = CountRecords(Bench().thirdDeletedPath());
        if (!counts || counts->deletedEntries == 0) {
          throw std::logic_error("CountRecords failed");
        }
      },
      Bench().thirdDeletedPath());
}

// "Bereinigen" of the file with a third deleted, next to copying that file. Each round starts
// from a fresh copy of it (not timed).
void BM_Cleanup(benchmark::State& state) {
  const std::string work = Bench().file("bereinigen.fid");
  const std::string copy = Bench().file("kopie.fid");
  const std::string backup = Bench().file("cleanup.tmp");
  NoMessages messages;
  double copying = 0, cleaning = 0;
  for (auto _ : state) {
    std::filesystem::copy_file(Bench().thirdDeletedPath(), work,
                               std::filesystem::copy_options::overwrite_existing);
    const auto t0 = Clock::now();
    CopyWhole(work, copy);
    const auto t1 = Clock::now();
    const CleanupResult result = CleanupDataFile(work, backup, messages);
    const auto t2 = Clock::now();
    if (!result.ok || result.dropped == 0) throw std::logic_error("the cleanup removed nothing");
    copying += Seconds(t0, t1);
    cleaning += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t1, t2));
  }
  const double ratio = cleaning / copying;
  state.counters["x_copy"] = ratio;
  g_ratios["CleanupDataFile (ein Drittel gelöscht)"] = {ratio, kCleanupTarget, "Kopieren"};
}

// The writes a learner waits for, each with its journal and its flushes, on a copy of the big
// file: saving one entry, the quick edit's replace-all, deleting (and, in turn, restoring) the
// last lesson, an import of 2,000 records. Their times are compared from one version of the
// program to the next; the column x_plain_read evens out the machine's load.
std::string WorkCopy() {
  const std::string work = Bench().file("schreiben.fid");
  std::filesystem::copy_file(Bench().path(), work,
                             std::filesystem::copy_options::overwrite_existing);
  return work;
}

void Check(const StoreResult<>& done) {
  if (!done) throw std::runtime_error(done.error().file.text());
}

void BM_SaveOneEntry(benchmark::State& state) {
  const std::string work = WorkCopy();
  TVocData entry = Bench().lastRecord();
  entry.A1.set("neu");
  Timed(
      state, "Eine Vokabel speichern",
      [&] {
        Check(AppendAllOrNothing(work, [&](Appender& out) -> StoreResult<> {
          out.add(entry);
          return {};
        }));
      },
      work, false);
}

void BM_QuickEditReplaceAll(benchmark::State& state) {
  const std::string work = WorkCopy();
  TVocData a = Bench().lastRecord();
  TVocData b = a;
  b.B1.set("korrigiert");
  bool toB = true;
  Timed(
      state, "Schnellkorrektur",
      [&] {
        Check(ReplaceRecord(work, toB ? a : b, toB ? b : a, true));
        toB = !toB;
      },
      work, false);
}

void BM_DeleteOrRestoreLesson(benchmark::State& state) {
  const std::string work = WorkCopy();
  const WinString name("Lektion " + std::to_string(kLessons));
  bool live = true;
  Timed(
      state, "Lektion loeschen / wiederherstellen",
      [&] {
        if (live) {
          const auto marked = DeleteLessonRecords(work, Bench().lastUnit());
          if (!marked || *marked < 300) throw std::logic_error("the lesson was not deleted");
        } else {
          const auto restored = RestoreLesson(work, name);
          if (!restored || *restored < 300) throw std::logic_error("the lesson did not return");
        }
        live = !live;
      },
      work, false);
}

void BM_ImportBlock(benchmark::State& state) {
  const std::string work = WorkCopy();
  std::vector<TVocData> block(2000, Bench().lastRecord());
  Timed(
      state, "Import von 2000 Vokabeln",
      [&] {
        Check(AppendAllOrNothing(work, [&](Appender& out) -> StoreResult<> {
          out.add(block);
          return {};
        }));
      },
      work, false);
}

BENCHMARK(BM_PlainBlockRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadLessonLastLesson)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReadLessonList)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReplaceLastRecord)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReplaceLastRecordUnflushed)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_DictionarySearch)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_EditorStatistics)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Cleanup)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(8);
BENCHMARK(BM_SaveOneEntry)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);
BENCHMARK(BM_QuickEditReplaceAll)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_DeleteOrRestoreLesson)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_ImportBlock)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace
}  // namespace merkhaus

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::cout << "DataFile: " << merkhaus::kRecords << " Datensätze, "
            << std::filesystem::file_size(merkhaus::Bench().path()) << " Bytes, "
            << merkhaus::kLessons << " Lektionen\n";
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::cout << "\nVerhältnis zum einfachen Blocklesen der Datei (Lesen) oder zu ihrer Kopie "
               "(Kopieren):\n";
  bool allMet = true;  // a miss is reported, not fatal: timings on a busy machine vary
  for (const auto& [name, ratio] : merkhaus::g_ratios) {
    const bool met = ratio.value <= ratio.target;
    allMet = allMet && met;
    std::printf("  %-40s %5.2fx %-8s (Ziel: höchstens %.1fx)  %s\n", name.c_str(), ratio.value,
                ratio.yardstick, ratio.target, met ? "ok" : "ZU LANGSAM");
  }
  if (!allMet) std::cout << "Ziel verfehlt.\n";
  return 0;
}
