// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/icu_library.h"

#include <atomic>
#include <cerrno>
#include <mutex>

#include "platform/file_io.h"
#include "platform/shared_library.h"

// The header names every ICU function after its version (u_charDirection is
// u_charDirection_72), and so does the library; the names are spelled through the same macros.
#define MERKHAUS_ICU_NAME2(f) #f
#define MERKHAUS_ICU_NAME(f) MERKHAUS_ICU_NAME2(f)

namespace merkhaus {
namespace {

std::mutex loading;
std::atomic<const IcuFunctions*> loaded{nullptr};
const char* libraryName = kIcuLibrary;
IcuFunctions functions;

[[noreturn]] void CannotLoad(const char* library, const std::string& reason) {
  throw IoError(FileError{library, FileError::Step::Open, ENOENT},
                std::string("Die Unicode-Bibliothek \"") + library +
                    "\" kann nicht geladen werden: " + reason +
                    ".\nOhne sie lässt sich die Schreibrichtung der Texte eines "
                    "Unicode-DataFiles nicht bestimmen. Installieren Sie das Paket "
                    "libicu" U_ICU_VERSION_SHORT ".");
}

}  // namespace

const IcuFunctions& Icu() {
  if (const IcuFunctions* f = loaded.load(std::memory_order_acquire)) return *f;
  const std::lock_guard<std::mutex> lock(loading);
  if (const IcuFunctions* f = loaded.load(std::memory_order_acquire)) return *f;
  const auto library = SharedLibrary::load(libraryName);
  if (!library) CannotLoad(libraryName, library.error());
  IcuFunctions found;
  if (const auto missing = library->find(MERKHAUS_ICU_NAME(u_charDirection), found.charDirection);
      !missing) {
    CannotLoad(libraryName, missing.error());
  }
  functions = found;
  loaded.store(&functions, std::memory_order_release);
  return functions;
}

void UseIcuLibraryForTesting(const char* library) {
  const std::lock_guard<std::mutex> lock(loading);
  libraryName = library != nullptr ? library : kIcuLibrary;
  loaded.store(nullptr, std::memory_order_release);
}

}  // namespace merkhaus
