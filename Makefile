# The two commands: `make run` opens the calculator, `make test` builds and runs every test.
# Both install the Debian packages they need first (scripts/debian-packages.txt).

BUILD      ?= build
BUILD_ASAN ?= build-asan
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: deps build run test test-asan bench package package-check clean

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
	$(MAKE) test-asan

# The same tests once more under AddressSanitizer and UBSan; any report fails the run.
test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DHYDRANT_SANITIZE=ON -DHYDRANT_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ctest -j $(JOBS) --output-on-failure

bench: build
	$(BUILD)/bench/hydrant-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/startup/hydrant-startup-bench

# The Debian package: build/hydrant-calc_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

# Builds the package, installs it, checks the installed programs, removes it again.
package-check: build
	bash scripts/package-check.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
