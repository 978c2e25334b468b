// SPDX-License-Identifier: GPL-3.0-or-later
// The learning progress on a full DataFile: 255 lessons of 255 entries (65,025 entries, about
// 41 MB) and the progress database that a year of simulated daily reviews leaves behind (about
// 300,000 reviews). Timed:
// - the main window's due count and the review queue, each from reading the DataFile to the
//   result (target: at most 100 ms);
// - recording one review, with its commit (target: at most 5 ms);
// - `merkhaus-tool due` as a whole process, next to `cat` of the DataFile (target: at most twice
//   `cat` plus 50 ms); the two take turns so that a busy machine slows both alike.
// A miss is reported, not fatal: timings on a busy machine vary.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "progress/calendar.h"
#include "progress/datafile_read.h"
#include "progress/fsrs.h"
#include "progress/progress_figures.h"
#include "progress/progress_store.h"
#include "store/vocdata.h"

extern char** environ;

namespace merkhaus {
namespace {

constexpr int kLessons = 255;
constexpr int kEntriesPerLesson = 255;
constexpr int kNewPerDay = 10;  // as the review mode offers them
const Day kStart = DayFromDate(2024, 6, 1);
const Day kToday = kStart + 365;  // the day after the simulated year

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

void Check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

class BenchData {
 public:
  BenchData() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "merkhaus-progress-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    path_ = (dir_ / "gross.fid").string();
    std::filesystem::create_directories(dir_ / "data" / "Merkhaus");
    db_ = (dir_ / "data" / "Merkhaus" / kProgressFileName).string();
    writeDataFile();
    simulateYear();
  }
  ~BenchData() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  const std::string& path() const { return path_; }
  const std::string& db() const { return db_; }
  const std::filesystem::path& dir() const { return dir_; }
  std::uint64_t reviews() const { return reviews_; }
  std::uint64_t learned() const { return learned_; }

 private:
  void writeDataFile() {
    std::vector<TVocData> records;
    records.push_back(MakeDataFileHeader(WinString("Benchmark"), WinString("Englisch"),
                                         WinString("Deutsch"), WinString("progress_bench"),
                                         WinString("255 x 255")));
    for (int l = 0; l < kLessons; ++l) {
      const auto id = static_cast<std::uint8_t>(l == 0 ? 1 : 256 - l);
      records.push_back(
          MakeUnitHeader(id, WinString("Lektion " + std::to_string(l + 1)), WinString("erzeugt")));
      for (int e = 0; e < kEntriesPerLesson; ++e) {
        TVocData r = EmptyRecord();
        const std::string n = std::to_string(l) + "_" + std::to_string(e);
        r.A1.set("word " + n);
        r.A2.set(e % 3 == 0 ? "synonym " + n : std::string());
        r.B1.set("Wort " + n);
        r.Comment.set(e % 7 == 0 ? "ein Kommentar zu " + n : std::string());
        r.UnitID = id;
        records.push_back(r);
      }
    }
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(records.data()),
              static_cast<std::streamsize>(records.size() * kRecordSize));
    if (!out) throw std::runtime_error("cannot write " + path_);
  }

  // A learner who, every day of a year, reviews every due entry (mostly "Gut", some "Schwer",
  // "Nochmal" and "Leicht") and takes on new entries in lesson order; the states the reviews
  // leave are written into the database in one transaction.
  void simulateYear() {
    const auto file = ReadDataFileEntries(path_);
    if (!file) throw std::runtime_error(file.error().text());
    std::vector<std::pair<const TVocData*, std::uint8_t>> entries;
    for (const auto& lesson : file->lessons) {
      for (const auto& e : lesson.entries)
        entries.emplace_back(&e, lesson.unitId);
    }
    std::vector<MemoryState> states(entries.size());
    std::mt19937 random(20240601);
    std::discrete_distribution<int> grades({4, 8, 86, 2});  // Again, Hard, Good, Easy
    const SchedulerParams params;
    std::size_t introduced = 0;
    const std::size_t perDay = entries.size() / 360 + 1;
    for (Day day = kStart; day < kToday; ++day) {
      for (std::size_t i = 0; i < introduced; ++i) {
        if (states[i].due <= day) {
          states[i] = Review(states[i], static_cast<Grade>(grades(random) + 1), day, params);
          ++reviews_;
        }
      }
      for (std::size_t k = 0; k < perDay && introduced < entries.size(); ++k, ++introduced) {
        states[introduced] =
            Review(states[introduced], static_cast<Grade>(grades(random) + 1), day, params);
        ++reviews_;
      }
    }
    learned_ = introduced;

    auto store = ProgressStore::open(db_);
    if (!store) throw std::runtime_error(store.error().text());
    const auto ref = store->dataFile(path_, file->header);
    if (!ref) throw std::runtime_error(ref.error().text());
    sqlite3* db = nullptr;
    Check(sqlite3_open(db_.c_str(), &db), db);
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO entry (datafile, unit, words, key_hash, stability, "
                             "difficulty, last_review, due, reps, lapses) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                             -1, &insert, nullptr),
          db);
    for (std::size_t i = 0; i < introduced; ++i) {
      const std::string key = EntryKey(entries[i].second, *entries[i].first);
      const MemoryState& m = states[i];
      sqlite3_bind_int64(insert, 1, ref->id);
      sqlite3_bind_int64(insert, 2, entries[i].second);
      sqlite3_bind_blob(insert, 3, key.data() + 1, static_cast<int>(key.size() - 1),
                        SQLITE_TRANSIENT);
      sqlite3_bind_int64(insert, 4, static_cast<sqlite3_int64>(EntryKeyHash(key)));
      sqlite3_bind_double(insert, 5, m.stability);
      sqlite3_bind_double(insert, 6, m.difficulty);
      sqlite3_bind_int64(insert, 7, m.lastReview);
      sqlite3_bind_int64(insert, 8, m.due);
      sqlite3_bind_int64(insert, 9, m.reps);
      sqlite3_bind_int64(insert, 10, m.lapses);
      Check(sqlite3_step(insert), db);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
  }

  std::filesystem::path dir_;
  std::string path_;
  std::string db_;
  std::uint64_t reviews_ = 0;
  std::uint64_t learned_ = 0;
};

BenchData& Data() {
  static BenchData data;
  return data;
}

struct Target {
  double value;  // milliseconds
  double limit;
  std::string note;
};
std::map<std::string, Target> g_results;

ProgressStore OpenStore() {
  auto store = ProgressStore::open(Data().db());
  if (!store) throw std::runtime_error(store.error().text());
  return std::move(*store);
}

// What the main window does for "Wiederholen (23)" and the review mode when it opens: read
// record 0, find the DataFile in the database, read the due states, one pass over the DataFile.
DueFigures DueFromScratch(ProgressStore& store, bool queue) {
  const auto header = ReadDataFileHeader(Data().path());
  if (!header) throw std::runtime_error(header.error().text());
  const auto ref = store.dataFile(Data().path(), *header);
  if (!ref) throw std::runtime_error(ref.error().text());
  const auto states = store.dueStates(*ref, kToday);
  if (!states) throw std::runtime_error(states.error().text());
  auto figures = ScanDue(Data().path(), *states, {kToday, queue, kNewPerDay});
  if (!figures) throw std::runtime_error(figures.error().text());
  return std::move(*figures);
}

template <class Op>
void Timed(benchmark::State& state, const std::string& name, double limitMs, Op&& op) {
  double total = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    op();
    const auto t1 = Clock::now();
    total += Seconds(t0, t1);
    state.SetIterationTime(Seconds(t0, t1));
  }
  g_results[name] = {1000 * total / static_cast<double>(state.iterations()), limitMs, ""};
}

void BM_DueCount(benchmark::State& state) {
  ProgressStore store = OpenStore();
  int due = 0;
  Timed(state, "Fällige zählen (Hauptfenster)", 100,
        [&] { due = DueFromScratch(store, false).due; });
  state.counters["due"] = due;
}

void BM_ReviewQueue(benchmark::State& state) {
  ProgressStore store = OpenStore();
  std::size_t size = 0;
  Timed(state, "Wiederholen öffnen (Warteschlange)", 100,
        [&] { size = DueFromScratch(store, true).queue.size(); });
  state.counters["queue"] = static_cast<double>(size);
}

// "Lernstand": every state, new, learning and known entries per lesson, the forecast. No target.
void BM_LessonFigures(benchmark::State& state) {
  ProgressStore store = OpenStore();
  for (auto _ : state) {
    const auto header = ReadDataFileHeader(Data().path());
    const auto ref = store.dataFile(Data().path(), *header);
    const auto states = store.states(*ref);
    const auto figures = ScanFigures(Data().path(), *states, kToday, 30);
    if (!figures || figures->lessons.size() != kLessons) throw std::logic_error("figures");
  }
}

void BM_RecordReview(benchmark::State& state) {
  ProgressStore store = OpenStore();
  const auto file = ReadDataFileEntries(Data().path());
  const auto ref = store.dataFile(Data().path(), file->header);
  const auto& entries = file->lessons.back().entries;
  std::size_t next = 0;
  Day day = kToday;
  Timed(state, "Eine Wiederholung speichern", 5, [&] {
    const auto result =
        store.review(*ref, entries[next % entries.size()], Grade::Good, day, SchedulerParams{});
    if (!result) throw std::runtime_error(result.error().text());
    if (++next % entries.size() == 0) ++day;
  });
}

// Runs a program with its output thrown away; the seconds it took.
double RunProcess(const std::vector<std::string>& args,
                  const std::vector<std::string>& environment) {
  std::vector<char*> argv, envp;
  for (const auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (char** e = environ; *e; ++e)
    envp.push_back(*e);
  for (const auto& e : environment)
    envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto t0 = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
    throw std::runtime_error("cannot start " + args[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  const auto t1 = Clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(args[0] + " failed");
  return Seconds(t0, t1);
}

void BM_DueProcess(benchmark::State& state) {
  // The tool from a folder without the build's portable marker, so that it finds the database
  // through XDG_DATA_HOME as an installed one would.
  const auto bin = Data().dir() / "bin";
  std::filesystem::create_directories(bin);
  const auto tool = bin / "merkhaus-tool";
  if (!std::filesystem::exists(tool)) std::filesystem::copy_file(MERKHAUS_TOOL, tool);
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + (Data().dir() / "data").string()};
  const std::vector<std::string> due = {tool.string(), "due", Data().path(), "--date",
                                        FormatDay(kToday)};
  const std::vector<std::string> cat = {"/bin/cat", Data().path()};
  double catTotal = 0, dueTotal = 0;
  for (auto _ : state) {
    catTotal += RunProcess(cat, {});
    const double t = RunProcess(due, env);
    dueTotal += t;
    state.SetIterationTime(t);
  }
  const double n = static_cast<double>(state.iterations());
  const double catMs = 1000 * catTotal / n;
  state.counters["cat_ms"] = catMs;
  char note[64];
  std::snprintf(note, sizeof note, "cat: %.1f ms", catMs);
  g_results["merkhaus-tool due (ganzer Prozess)"] = {1000 * dueTotal / n, 2 * catMs + 50, note};
}

BENCHMARK(BM_DueCount)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ReviewQueue)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_RecordReview)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LessonFigures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DueProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace
}  // namespace merkhaus

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const auto& data = merkhaus::Data();
  std::cout << "DataFile: " << merkhaus::kLessons << " Lektionen x " << merkhaus::kEntriesPerLesson
            << " Vokabeln, " << std::filesystem::file_size(data.path())
            << " Bytes; ein simuliertes Jahr: " << data.reviews() << " Wiederholungen, "
            << data.learned()
            << " gelernte Vokabeln; Datenbank: " << std::filesystem::file_size(data.db())
            << " Bytes\n";
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::cout << "\nZiele:\n";
  bool allMet = true;
  for (const auto& [name, result] : merkhaus::g_results) {
    const bool met = result.value <= result.limit;
    allMet = allMet && met;
    std::printf("  %-40s %8.2f ms (Ziel: höchstens %.1f ms%s%s)  %s\n", name.c_str(), result.value,
                result.limit, result.note.empty() ? "" : "; ", result.note.c_str(),
                met ? "ok" : "ZU LANGSAM");
  }
  if (!allMet) std::cout << "Ziel verfehlt.\n";
  return 0;
}
