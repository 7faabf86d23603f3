#include "app/login_name.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace tavlo {

QString GetLoginName() {
  struct passwd entry;
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return {};
  }
  return QString::fromLocal8Bit(found->pw_name).trimmed();
}

}  // namespace tavlo
