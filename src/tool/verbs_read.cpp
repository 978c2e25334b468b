#include <ostream>

#include "tool/verbs.h"

namespace merkhaus::tool {

int Info(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
int Lessons(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
int Entries(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}

}  // namespace merkhaus::tool
