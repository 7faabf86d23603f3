#include "picture/isolated_call.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

namespace tavlo {
namespace {

TEST(IsolatedCall, HandsBackWhatTheChildProduced) {
  const auto big = RunIsolated({}, [] { return std::optional(QByteArray(5'000'000, 'x')); });
  ASSERT_TRUE(big);
  EXPECT_EQ(*big, QByteArray(5'000'000, 'x'));
  EXPECT_EQ(RunIsolated({}, [] { return std::optional<QByteArray>(); }), std::nullopt);
}

TEST(IsolatedCall, ACrashingDecoderIsAnOrdinaryFailure) {
  EXPECT_EQ(RunIsolated({}, []() -> std::optional<QByteArray> { std::abort(); }), std::nullopt);
  EXPECT_EQ(RunIsolated({},
                        []() -> std::optional<QByteArray> {
                          std::raise(SIGSEGV);
                          return QByteArray("never");
                        }),
            std::nullopt);
}

TEST(IsolatedCall, AHangingDecoderIsStoppedAtTheTimeLimit) {
  IsolationLimits limits;
  limits.seconds = 1;
  const auto hung = RunIsolated(limits, []() -> std::optional<QByteArray> {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
  });
  EXPECT_EQ(hung, std::nullopt);
}

TEST(IsolatedCall, OutputBeyondTheLimitIsRefused) {
  IsolationLimits limits;
  limits.maxOutputBytes = 1000;
  EXPECT_EQ(RunIsolated(limits, [] { return std::optional(QByteArray(100'000, 'x')); }),
            std::nullopt);
}

}  // namespace
}  // namespace tavlo
