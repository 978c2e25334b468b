// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/shared_library.h"

#include <dlfcn.h>

namespace merkhaus {

tl::expected<SharedLibrary, std::string> SharedLibrary::load(const char* name) {
  void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr) return SharedLibrary(handle);
  // The loader's own words say which file is missing or damaged; they stay as they are.
  const char* detail = dlerror();
  std::string reason = "sie ist nicht installiert oder beschädigt";
  if (detail != nullptr) reason += std::string(" (") + detail + ")";
  return tl::unexpected<std::string>(std::move(reason));
}

tl::expected<void*, std::string> SharedLibrary::findAddress(const char* symbol) const {
  dlerror();
  void* address = dlsym(handle_, symbol);
  if (address != nullptr) return address;
  return tl::unexpected<std::string>(std::string("ihr fehlt die Funktion ") + symbol);
}

}  // namespace merkhaus
