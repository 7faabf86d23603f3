#pragma once
#include <QString>

namespace tavlo {

// The running user's entry in the system's user database: login name and the comment field
// (which holds the full name first); both empty when the database has no entry.
struct UserEntry {
  QString loginName;
  QString comment;
};
UserEntry GetUserEntry();

// The login name of the running user from the system's user database; empty when it has none.
QString GetLoginName();

}  // namespace tavlo
