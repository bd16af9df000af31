# Skyloom: every entry point installs what is missing first, then builds with
# CMake and Ninja. `make run` starts the viewer, `make test` runs every test,
# `make install` installs it under PREFIX and `make package` makes a .deb.

BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# Limits for each single input: an input that takes longer, or needs more
# memory, is reported as a finding (work that its size does not justify).
FUZZ_INPUT_SECONDS ?= 5
FUZZ_RSS_MB ?= 1024
FUZZ_MALLOC_MB ?= 512
SOAK_SECONDS ?= 1200
CMAKE_FLAGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test install package soak docs asan bench fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@$(BUILD)/bin/skyloom

test: build
	@scripts/run-tests $(BUILD)

# The programs, desktop entry, icons, man pages, README and licence under
# PREFIX (DESTDIR, when set, is put in front of it, as for staging).
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package, $(BUILD)/skyloom_VERSION_ARCH.deb, installing under /usr.
package: build
	@cd $(BUILD) && cpack -G DEB

# An endurance run of the viewer under random real X input (not part of test).
soak: build
	@SOAK_SECONDS=$(SOAK_SECONDS) scripts/soak $(BUILD)

# Remakes the README picture with the viewer's own screenshot under Xvfb.
docs: build
	@scripts/readme-screenshot $(BUILD)

asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKYLOOM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 scripts/run-tests $(ASAN_BUILD)

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKYLOOM_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD)
	@for b in $(BENCH_BUILD)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYLOOM_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@for f in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  name=$$(basename $$f); name=$${name#fuzz_}; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "== $$f for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_INPUT_SECONDS) \
	      -rss_limit_mb=$(FUZZ_RSS_MB) -malloc_limit_mb=$(FUZZ_MALLOC_MB) \
	      $(FUZZ_BUILD)/corpus/$$name tests/fuzz/corpus/$$name || exit 1; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
