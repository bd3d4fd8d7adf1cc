# Two entry points: `make run` builds and starts the game, `make test` builds and passes the tests.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
ARGS ?=

.PHONY: setup build run test test-fast asan tsan fuzz-long soak bench deb clean

# The tests that run more than one thread, by name: the background worker, the store's flusher and
# everything concurrent; the HTTP client and the store observer join by their names.
TSAN_TESTS ?= Thread|Worker|Concurren|Flush|Http|Observer|Racing
# The fuzz targets (label "fuzz", 30 s each) are built by the ASan build, with clang, and run with
# its tests; FUZZ=0 leaves them out. `make fuzz-long` runs them long, optimised, in build-fuzz/.
FUZZ ?= 1
CTEST_EXCLUDE = $(if $(filter 0,$(FUZZ)),-LE fuzz,)

setup:
	@bash scripts/setup.sh

$(BUILD)/Makefile: CMakeLists.txt
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: setup $(BUILD)/Makefile
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/royal-expedition $(ARGS)

# The whole suite: the normal build (gcc), then the same tests under AddressSanitizer (leaks
# included; tests/lsan.supp names what system libraries keep for the life of the process) and
# UBSan built with clang, with the fuzz targets, then the threaded tests under ThreadSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory asan
	@$(MAKE) --no-print-directory tsan

# The normal build's tests alone.
test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (default 600) from its corpus.
FUZZ_SECONDS ?= 600
fuzz-long: setup
	bash fuzz/run.sh $(CURDIR) $(CURDIR)/build-fuzz $(FUZZ_SECONDS)

asan: setup
	@grep -qs 'CMAKE_CXX_COMPILER:.*clang' $(ASAN_BUILD)/CMakeCache.txt || rm -rf $(ASAN_BUILD)
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DRE_SANITIZE=ON -DRE_BENCHMARKS=OFF \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) $(CTEST_EXCLUDE)

# Only the test programs that hold such tests are built under ThreadSanitizer.
TSAN_TARGETS = $(sort $(foreach f,$(shell grep -lE '^TEST.*($(TSAN_TESTS))' tests/*/*.cpp),test_$(word 2,$(subst /, ,$(f)))))

tsan: setup
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DRE_TSAN=ON -DRE_BENCHMARKS=OFF >/dev/null
	cmake --build build-tsan -j $(JOBS) --target $(TSAN_TARGETS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

# The long soak: 500 kills over 30 simulated days (the suite's script_test_soak makes 30).
soak: build
	cd tests/scripts && python3 test_soak.py $(CURDIR) $(CURDIR)/$(BUILD) --kills 500 --days 30

# Micro-benchmarks, then start-up, a first explore, idle CPU and memory (benchmarks/startup.py).
bench: build
	@for b in $(BUILD)/benchmarks/bench_*; do echo "== $$b"; $$b; done
	@echo "== benchmarks/startup.py"; python3 benchmarks/startup.py $(BUILD)

# The Debian package of the game, in $(BUILD)/ (install it with `sudo apt install ./$(BUILD)/<file>.deb`).
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-tsan build-fuzz
