# Everything a fresh Debian 12 machine needs: `make run [FILE=x.ric]`, `make test`, `make bench`,
# `make install [PREFIX=/usr/local]` (DESTDIR is honoured) and `make package` (a .deb in BUILD).
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test install package bench fuzz fuzz-build fuzz-corpus sanitize ci clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The editor alone is built for `run`, so it starts without compiling the tests.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tavlin
	@$(BUILD)/app/tavlin $(if $(FILE),"$(FILE)")

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

package: build
	@cd $(BUILD) && cpack -G DEB

# The editor's benchmark (tavlin_bench_editor) is built where Qt 6 Widgets is
# installed and runs offscreen.
BENCH_GUI ?= $(shell pkg-config --exists Qt6Widgets 2>/dev/null && echo ON || echo OFF)
bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTAVLIN_BENCH=ON -DTAVLIN_TESTS=OFF -DTAVLIN_GUI=$(BENCH_GUI) >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/tavlin_bench_*; do \
	  [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; \
	done

# The libFuzzer targets (clang, AddressSanitizer, UBSan). `make fuzz SECONDS=N`
# runs each for N seconds in turn, with a user's machine's limits, and adds
# what found new coverage, minimised, to its corpus fuzz/corpus/<target>/;
# a fault leaves its input in $(FUZZ_BUILD)/artifacts/ and fails the run.
# `make fuzz-corpus` runs each target once over its stored corpus.
FUZZ_TARGETS := fuzz_ric fuzz_script fuzz_params fuzz_bmp fuzz_png fuzz_jpeg fuzz_gif \
                fuzz_render fuzz_cli fuzz_varmap
FUZZ_LIMITS := -rss_limit_mb=1024 -malloc_limit_mb=1024 -timeout=2
# A small quarantine keeps the freed blocks of large decodes from adding up
# to a false out-of-memory.
FUZZ_ENV := ASAN_OPTIONS=quarantine_size_mb=64:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

# The fuzz targets alone in FUZZ_BUILD (a tree configured before, such as
# `make sanitize`'s, is built as it is).
FUZZ_BUILD ?= build-fuzz
fuzz-build: deps
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DTAVLIN_FUZZ=ON -DTAVLIN_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@status=0; mkdir -p $(FUZZ_BUILD)/artifacts; \
	for t in $(FUZZ_TARGETS); do \
	  rm -rf $(FUZZ_BUILD)/new/$$t; mkdir -p $(FUZZ_BUILD)/new/$$t; \
	  echo "fuzz: $$t for $(or $(SECONDS),60) s"; \
	  if ! $(FUZZ_ENV) $(FUZZ_BUILD)/fuzz/$$t $(FUZZ_LIMITS) -max_total_time=$(or $(SECONDS),60) \
	       -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/new/$$t fuzz/corpus/$$t \
	       2>$(FUZZ_BUILD)/$$t.log; then \
	    echo "fuzz: $$t found a fault; see $(FUZZ_BUILD)/$$t.log and $(FUZZ_BUILD)/artifacts/" >&2; status=1; \
	  fi; \
	  grep -E '^#[0-9]+[[:space:]]+DONE' $(FUZZ_BUILD)/$$t.log || tail -n 1 $(FUZZ_BUILD)/$$t.log; \
	  $(FUZZ_ENV) $(FUZZ_BUILD)/fuzz/$$t $(FUZZ_LIMITS) -merge=1 fuzz/corpus/$$t $(FUZZ_BUILD)/new/$$t \
	    2>>$(FUZZ_BUILD)/$$t.log || status=1; \
	done; exit $$status

fuzz-corpus: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  $(FUZZ_ENV) $(FUZZ_BUILD)/fuzz/$$t $(FUZZ_LIMITS) fuzz/corpus/$$t/* >$(FUZZ_BUILD)/$$t.log 2>&1 \
	    || { echo "fuzz: $$t fails on its corpus; see $(FUZZ_BUILD)/$$t.log" >&2; exit 1; }; \
	  echo "fuzz: $$t: $$(ls fuzz/corpus/$$t | wc -l) inputs pass"; \
	done

# Every test under AddressSanitizer and UBSan, built with clang together with
# the fuzz targets, so `make fuzz-corpus FUZZ_BUILD=build-asan` reuses the tree.
# Leak checks are on for every test, the GUI tests included, with nothing
# suppressed: Qt's offscreen platform and fontconfig leave no reported leaks.
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
           UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTAVLIN_FUZZ=ON -DTAVLIN_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

# What CI runs: tests, warnings, formatting, sanitizers, fuzz corpora (.ci/run).
ci:
	@bash .ci/run

clean:
	rm -rf $(BUILD) build-bench build-fuzz build-asan build-release
