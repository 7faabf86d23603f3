# Two entry points: `make run` builds and starts Tavlo, `make test` builds and runs every test:
# the test suite, the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the saved
# fuzz crash-regression inputs and a short run of every fuzz target. Both install the Debian
# packages they need first. `make unit-test` runs the plain test suite alone. `make install`
# installs the program under PREFIX, `make deb` packages it for Debian (build/tavlo_*.deb).
BUILD_DIR ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 60
CI_FUZZ_SECONDS ?= 20

.PHONY: deps configure build run install deb test unit-test test-asan fuzz fuzz-replay clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/tavlo

# DESTDIR, when set, is put before PREFIX, for staging.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

deb: build
	cd $(BUILD_DIR) && cpack -G DEB

# Every step runs even when an earlier one failed, so that the summary line counts them all:
# "tests: N passed, M failed, K skipped". NO_SKIPS=1 (CI) makes any skipped test a failure.
test: deps
	@status=0; \
	 $(MAKE) --no-print-directory unit-test || status=1; \
	 $(MAKE) --no-print-directory test-asan || status=1; \
	 $(MAKE) --no-print-directory fuzz-replay || status=1; \
	 bash scripts/fuzz.sh run $(CI_FUZZ_SECONDS) || status=1; \
	 bash scripts/test-summary.sh $(BUILD_DIR) build-asan || status=1; \
	 exit $$status

unit-test: build
	@rm -f $(BUILD_DIR)/Testing/Temporary/LastTest.log
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVLO_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@rm -f build-asan/Testing/Temporary/LastTest.log
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, then the saved crash-regression inputs.
fuzz: deps
	bash scripts/fuzz.sh run $(FUZZ_SECONDS)

fuzz-replay: deps
	bash scripts/fuzz.sh replay

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz
