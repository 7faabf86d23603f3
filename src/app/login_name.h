#pragma once
#include <QString>

namespace tavlo {

// The login name of the running user from the system's user database; empty when it has none.
QString GetLoginName();

}  // namespace tavlo
