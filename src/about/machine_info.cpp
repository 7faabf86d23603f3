#include "about/machine_info.h"

#include <QProcess>
#include <QStandardPaths>

#include "store/login_name.h"

namespace tavlo {
namespace {

// The machine as the system describes it.
class SystemMachine : public MachineInfo {
 public:
  QString UserFullName() const override { return FullNameFromComment(GetUserEntry().comment); }

  // This system keeps no organisation for the machine.
  QString Organisation() const override { return {}; }

  QString FindProgram(const QString& program) const override {
    return QStandardPaths::findExecutable(program);
  }

  bool StartProgram(const QString& path) override { return QProcess::startDetached(path, {}); }
};

MachineInfo* installed = nullptr;

}  // namespace

MachineInfo& Machine() {
  static SystemMachine system;
  return installed ? *installed : system;
}

void SetMachine(MachineInfo* machine) {
  installed = machine;
}

QString GetKeyValue(const QString& valueName) {
  if (valueName == QLatin1String(kRegisteredOwner)) return Machine().UserFullName();
  if (valueName == QLatin1String(kRegisteredOrganization)) return Machine().Organisation();
  return {};
}

QStringList SystemInfoPrograms() {
  // Graphical programs only: the tool is started in its own window, without a terminal.
  return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
          QStringLiteral("cpu-x"), QStringLiteral("i-nex")};
}

QString FindSystemInfoTool() {
  for (const QString& program : SystemInfoPrograms()) {
    const QString path = Machine().FindProgram(program);
    if (!path.isEmpty()) return path;
  }
  return {};
}

QString FullNameFromComment(const QString& comment) {
  return comment.section(QLatin1Char(','), 0, 0).trimmed();
}

}  // namespace tavlo
