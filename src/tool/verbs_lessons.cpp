#include <ostream>

#include "tool/verbs.h"

namespace merkhaus::tool {

int New(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
int AddLesson(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}
int DeleteLesson(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "noch nicht verfügbar\n";
  return 1;
}

}  // namespace merkhaus::tool
