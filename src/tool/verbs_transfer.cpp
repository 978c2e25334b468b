#include <ostream>

#include "tool/verbs.h"

namespace merkhaus::tool {

int Export(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
int Import(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
}  // namespace merkhaus::tool
