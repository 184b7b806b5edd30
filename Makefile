# Everything a fresh Debian 12 machine needs: `make run [FILE=x.ric]`, `make test`, `make bench`,
# `make install [PREFIX=/usr/local]` (DESTDIR is honoured) and `make package` (a .deb in BUILD).
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test install package bench fuzz clean

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
	@cmake --install $(BUILD) --prefix "$(PREFIX)"

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

fuzz: deps
	@bash fuzz/run.sh $(or $(SECONDS),60)

clean:
	rm -rf $(BUILD) build-bench build-fuzz
