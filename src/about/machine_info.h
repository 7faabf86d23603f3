#pragma once
// What the about box learns about the machine: who the user is, which organisation the machine
// belongs to, where a system-information program is installed, and how to start it. The answers
// come from the system through `Machine()`; tests install a double so that they can set every
// answer and never start a real program.
#include <QString>
#include <QStringList>

namespace tavlo {

class MachineInfo {
 public:
  virtual ~MachineInfo() = default;

  // The running user's full name; empty when the user database has none.
  virtual QString UserFullName() const = 0;
  // The organisation the machine is registered to; empty when it is not known.
  virtual QString Organisation() const = 0;
  // The full path of the executable `program` found on the search path; empty when not found.
  virtual QString FindProgram(const QString& program) const = 0;
  // Starts the program at `path` in its own window without waiting for it; false when it could
  // not be started.
  virtual bool StartProgram(const QString& path) = 0;
};

// The machine in use: the system's unless a test installed another.
MachineInfo& Machine();
// Installs `machine` (not owned); nullptr brings the system's back.
void SetMachine(MachineInfo* machine);

// The names `GetKeyValue` answers.
inline constexpr char kRegisteredOwner[] = "RegisteredOwner";
inline constexpr char kRegisteredOrganization[] = "RegisteredOrganization";

// One text fact about the machine by name: "RegisteredOwner" gives the user's full name,
// "RegisteredOrganization" the organisation. Empty when the fact is unknown, and for any other
// name.
QString GetKeyValue(const QString& valueName);

// The system-information programs looked for, best first.
QStringList SystemInfoPrograms();

// The path of the first system-information program installed; empty when there is none.
QString FindSystemInfoTool();

// The full name in a user database comment field: the text before the first comma, without
// surrounding blanks ("Ada Lovelace,Room 4,," gives "Ada Lovelace").
QString FullNameFromComment(const QString& comment);

}  // namespace tavlo
