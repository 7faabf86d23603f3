#include "store/login_name.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace tavlo {

UserEntry GetUserEntry() {
  struct passwd entry;
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return {};
  }
  return {QString::fromLocal8Bit(found->pw_name),
          found->pw_gecos ? QString::fromLocal8Bit(found->pw_gecos) : QString()};
}

QString GetLoginName() {
  return GetUserEntry().loginName.trimmed();
}

}  // namespace tavlo
