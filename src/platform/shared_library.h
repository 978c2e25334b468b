// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <tl/expected.hpp>

#include <string>

namespace merkhaus {

// A shared library that is loaded when a program first needs it rather than when it starts.
// merkhaus-tool runs for a few milliseconds, and each library it is linked with costs part of a
// millisecond to load on every start, also for the commands that never use it. Loaded once and
// kept until the program ends.
class SharedLibrary {
 public:
  // Loads `name` (a file name such as "libsqlite3.so.0", found as the linker finds it). The
  // reason it cannot be loaded, in German, otherwise.
  static tl::expected<SharedLibrary, std::string> load(const char* name);

  // Stores the address of the function `symbol` in `into`; the German reason it is missing
  // otherwise.
  template <class F>
  tl::expected<void, std::string> find(const char* symbol, F& into) const {
    auto address = findAddress(symbol);
    if (!address) return tl::unexpected<std::string>(std::move(address.error()));
    into = reinterpret_cast<F>(*address);
    return {};
  }

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  tl::expected<void*, std::string> findAddress(const char* symbol) const;

  void* handle_;
};

}  // namespace merkhaus
