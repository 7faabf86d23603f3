#include "cli_test_support.h"

#include "cli/tavlo_cli.h"

namespace tavlo::testing {

CliRun RunCli(const QStringList& arguments, bool terminal) {
  CliRun run;
  QTextStream out(&run.out);
  QTextStream err(&run.err);
  cli::CliIo io{out, err, terminal};
  run.code = cli::RunTavloCli(arguments, io);
  out.flush();
  err.flush();
  return run;
}

}  // namespace tavlo::testing
