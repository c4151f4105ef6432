# The two commands: `make run` opens the calculator, `make test` builds and runs every test.
# Both install the Debian packages they need first (scripts/debian-packages.txt).

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_WIN  ?= build-windows
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 120
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: deps build run test test-asan test-windows windows bench bench-windows fuzz package package-check clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

# Without a display it says how to start under xvfb-run and stops before building anything.
run:
	@bash scripts/run.sh --check
	$(MAKE) build
	bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure
	$(MAKE) test-windows
	$(MAKE) test-asan

# The Windows programs, cross-built with mingw-w64 into $(BUILD_WIN): hydrant-calc.exe,
# hydrant-calc-cli.exe, the tests, the installer hydrant-calc-<version>-setup.exe and the
# portable hydrant-calc-<version>-win64.zip. It needs nothing from the Linux build.
windows: deps
	cmake -S . -B $(BUILD_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_WIN) -j $(JOBS)

# The cross-built tests under Wine, in a private prefix with its own Xvfb (scripts/wine-prefix.sh).
test-windows: windows
	cd $(BUILD_WIN) && ctest -j $(JOBS) --output-on-failure

# The tests that need no window once more under AddressSanitizer and UBSan (the calculation
# with its randomized run, the handlers, the command line, the sheet); any report fails the
# run. The Qt widget test and the browser print run once, in the Release build.
ASAN_TARGETS = calc_tests ui_handler_tests cli_tests sheet_tests hydrant-calc-cli
test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DHYDRANT_SANITIZE=ON -DHYDRANT_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS) --target $(ASAN_TARGETS)
	cd $(BUILD_ASAN) && ctest -j $(JOBS) --output-on-failure -E 'NOT_BUILT|ui_window_tests|sheet\.browser'

# The CSV reader and the batch, and the project file reader, on fuzzed input (libFuzzer, ASan
# and UBSan, built with clang, assertions on) for FUZZ_SECONDS each, starting from
# tests/fuzz/corpus and tests/fuzz/project_corpus; not part of make test. New inputs worth
# keeping go to $(BUILD_FUZZ)/corpus and $(BUILD_FUZZ)/project_corpus, a finding to
# $(BUILD_FUZZ)/crash-*.
fuzz: deps
	cmake -S . -B $(BUILD_FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	  -DHYDRANT_SANITIZE=ON -DHYDRANT_FUZZ=ON -DHYDRANT_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target batch_fuzz project_fuzz
	mkdir -p $(BUILD_FUZZ)/corpus $(BUILD_FUZZ)/project_corpus
	cd $(BUILD_FUZZ) && tests/fuzz/batch_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 \
	  -timeout=10 -rss_limit_mb=2048 corpus $(abspath tests/fuzz/corpus)
	cd $(BUILD_FUZZ) && tests/fuzz/project_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 \
	  -timeout=10 -rss_limit_mb=2048 project_corpus $(abspath tests/fuzz/project_corpus)

bench: build
	$(BUILD)/bench/hydrant-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/startup/hydrant-startup-bench

# Start-up of hydrant-calc.exe beside a bare window, and the click to results, under Wine.
WINE = bash scripts/wine-prefix.sh
bench-windows: windows
	$(WINE) setup $(BUILD_WIN)/wine
	$(WINE) run $(BUILD_WIN)/wine $(BUILD_WIN)/bench/win32/hydrant-startup-bench.exe \
	  Z:$(abspath $(BUILD_WIN))/app/hydrant-calc.exe \
	  Z:$(abspath $(BUILD_WIN))/bench/win32/hydrant-bare-window.exe 20; \
	  status=$$?; $(WINE) stop $(BUILD_WIN)/wine; exit $$status

# The Debian package: build/hydrant-calc_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

# Builds the package, installs it, checks the installed programs, removes it again.
package-check: build
	bash scripts/package-check.sh $(BUILD)

clean:
	-bash scripts/wine-prefix.sh stop $(BUILD_WIN)/wine
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_WIN) $(BUILD_FUZZ)
