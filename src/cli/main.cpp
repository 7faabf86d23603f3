// The program tavlo-cli. It shows no window and needs no display: Qt's picture and font code
// runs on the offscreen platform whatever the environment says.
#include <unistd.h>

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

#include "cli/tavlo_cli.h"

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt's complaint about a missing runtime directory concerns windows and sessions, which this
// program has none of; on a build machine without a login it would precede every run.
void DropSessionNoise(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  qtHandler(type, context, text);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Read before Qt sees them: Qt takes arguments such as -platform or -reverse for itself, which
  // here may well be file names.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  int qtArgc = 1;
  qtHandler = qInstallMessageHandler(DropSessionNoise);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(qtArgc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("tavlo-cli"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  tavlo::cli::CliIo io{out, err, ::isatty(STDERR_FILENO) == 1};
  return tavlo::cli::RunTavloCli(arguments, io);
}
