// The real tavlo-cli program, run as a script would run it: without a display, with its exit
// codes, results on stdout, failures on stderr, and progress only on a terminal.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "support/build_paths.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

struct Finished {
  int code = -1;
  QString out;
  QString err;
};

Finished RunProgram(const QStringList& arguments, const QString& threads = QString()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
    environment.remove(name);
  if (!threads.isEmpty()) environment.insert(QStringLiteral("TAVLO_THREADS"), threads);
  process.setProcessEnvironment(environment);
  process.start(QString::fromUtf8(CliPath()), arguments);
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

// Everything the program writes to a terminal that is both its stdout and its stderr.
QString RunOnTerminal(const QStringList& arguments) {
  std::vector<QByteArray> strings = {CliPath()};
  for (const QString& argument : arguments) strings.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  QByteArray seen;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) seen.append(buffer, got);
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  return QString::fromUtf8(seen);
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) picture.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(picture.save(Path(QString("p%1.png").arg(i))));
    QByteArray act(768, '\0');
    for (int i = 0; i < 256; ++i) act[3 * i] = act[3 * i + 1] = char(i);
    WriteBytes(Path("grey.act"), act);
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Pictures(int count) const {
    QStringList pictures;
    for (int i = 0; i < count; ++i) pictures << Path(QString("p%1.png").arg(i));
    return pictures;
  }
  QTemporaryDir dir_;
};

TEST_F(EndToEndTest, RunsWithoutADisplayAndEndsWithTheExitCodeOfTheOutcome) {
  const Finished help = RunProgram({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: tavlo-cli COMMAND")) << help.out.toStdString();
  EXPECT_EQ(help.err, "");

  const Finished measured =
      RunProgram(QStringList{"measure"} + Pictures(2) + QStringList{"--palette", Path("grey.act")});
  EXPECT_EQ(measured.code, 0) << measured.err.toStdString();
  EXPECT_EQ(measured.out.count('\n'), 3);  // the header and a row per picture
  EXPECT_EQ(measured.err, "");             // no progress: stderr is no terminal here

  const Finished failed = RunProgram(
      {"reduce", Path("p0.png"), Path("gone.png"), "--palette", Path("grey.act"), "--quiet"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_EQ(failed.err, "tavlo-cli: " + Path("gone.png") + ": No such file or directory\n");
  EXPECT_TRUE(QFile::exists(Path("p0.gif")));

  const Finished wrong = RunProgram({"reduce", Path("p0.png"), "--pallete", "x"});
  EXPECT_EQ(wrong.code, 2);
  EXPECT_TRUE(wrong.err.startsWith("tavlo-cli reduce: Unknown option 'pallete'."));
  EXPECT_EQ(wrong.out, "");
}

TEST_F(EndToEndTest, ShowsProgressWithCountAndTimeLeftOnATerminalUnlessQuiet) {
  const QString shown =
      RunOnTerminal(QStringList{"reduce"} + Pictures(5) +
                    QStringList{"--palette", Path("grey.act"), "--out", dir_.path()});
  const QStringList lines = shown.split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 5) << shown.toStdString();
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(lines[i].startsWith(QString("[%1/5] ").arg(i + 1))) << lines[i].toStdString();
    EXPECT_TRUE(lines[i].contains(".png -> ")) << lines[i].toStdString();
  }
  EXPECT_TRUE(lines[0].endsWith(" left)")) << lines[0].toStdString();

  const QString quiet =
      RunOnTerminal(QStringList{"reduce"} + Pictures(5) +
                    QStringList{"--palette", Path("grey.act"), "--force", "--quiet"});
  EXPECT_EQ(quiet, "");
}

TEST_F(EndToEndTest, WritesTheSameBytesWhateverTavloThreadsSays) {
  // Large enough for several threads in every loop: GIF strips, preview bands, quantizer chunks.
  QImage big(2000, 1100, QImage::Format_RGB32);
  for (int y = 0; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x)
      big.setPixel(x, y, qRgb(x / 8, y / 8, (x / 16 ^ y / 16) % 256));  // 30 000 colours
  ASSERT_TRUE(big.save(Path("big.png")));
  QByteArray first;
  for (const char* threads : {"1", "3"}) {
    const QString out = Path(QString("t%1").arg(threads));
    QDir().mkpath(out);
    const Finished palette = RunProgram(
        {"palette", Path("big.png"), "--colors", "32", "--out", out + "/big.act"}, threads);
    ASSERT_EQ(palette.code, 0) << palette.err.toStdString();
    const Finished reduced = RunProgram(
        {"reduce", Path("big.png"), "--palette", out + "/big.act", "--out", out}, threads);
    ASSERT_EQ(reduced.code, 0) << reduced.err.toStdString();
    const QByteArray written = ReadBytes(out + "/big.act") + ReadBytes(out + "/big.gif");
    if (first.isEmpty()) first = written;
    EXPECT_TRUE(written == first) << threads << " threads";
  }
}

}  // namespace
}  // namespace tavlo::testing
