#include "picture/isolated_call.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "store/atomic_file.h"

namespace tavlo {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

[[noreturn]] void RunChild(const IsolationLimits& limits,
                           const std::function<std::optional<QByteArray>()>& work, int out) {
  const rlimit cpu{static_cast<rlim_t>(limits.seconds), static_cast<rlim_t>(limits.seconds + 1)};
  setrlimit(RLIMIT_CPU, &cpu);
  // AddressSanitizer reserves terabytes of address space; a limit would break it, not the decoder.
  if (!kAddressSanitizer) {
    const rlimit memory{static_cast<rlim_t>(limits.memoryBytes),
                        static_cast<rlim_t>(limits.memoryBytes)};
    setrlimit(RLIMIT_AS, &memory);
  }
  const std::optional<QByteArray> result = work();
  const bool sent = result && WriteAll(out, *result) == 0;
  // _exit: no destructors or exit handlers of the parent's objects run in the child.
  _exit(sent ? 0 : 1);
}

// Reads the child's output until it closes the pipe; false on timeout or too much output.
bool ReadOutput(int in, const IsolationLimits& limits, QByteArray& output) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{in, POLLIN, 0};
    const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (output.size() + n > limits.maxOutputBytes) return false;
    output.append(buffer, n);
  }
}

}  // namespace

std::optional<QByteArray> RunIsolated(const IsolationLimits& limits,
                                      const std::function<std::optional<QByteArray>()>& work) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return std::nullopt;
  }
  if (child == 0) {
    ::close(pipeEnds[0]);
    RunChild(limits, work, pipeEnds[1]);
  }
  ::close(pipeEnds[1]);
  QByteArray output;
  const bool complete = ReadOutput(pipeEnds[0], limits, output);
  ::close(pipeEnds[0]);
  if (!complete) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace tavlo
