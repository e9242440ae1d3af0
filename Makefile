# Set-up, build, run and test in one step each. See README.md.
BUILD      ?= build
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test sanitize fuzz fuzz-replay bench install package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKS340_WERROR=ON

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/src/app/ks340 ]; then $(BUILD)/src/app/ks340 $(ARGS); \
	else $(BUILD)/src/cli/ks340ctl --help; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# AddressSanitizer + UndefinedBehaviorSanitizer build of the Qt-free core (with the
# file readers and writers of ks340ctl: fileio, cli/CliOutput) and their tests.
sanitize: deps
	cmake -S . -B build-sanitize $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DKS340_CORE_ONLY=ON -DKS340_SANITIZE=ON -DKS340_WERROR=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

build-fuzz/CMakeCache.txt: | deps
	CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKS340_CORE_ONLY=ON -DKS340_FUZZ=ON -DKS340_BENCH=OFF

# Each fuzzer runs for FUZZ_SECONDS (60 s by default) from the committed corpus.
FUZZ_SECONDS ?= 60
fuzz: build-fuzz/CMakeCache.txt
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@for f in build-fuzz/fuzz/fuzz_*; do \
	  n=$$(basename $$f); mkdir -p build-fuzz/corpus/$$n; \
	  echo "== $$n ($(FUZZ_SECONDS) s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -max_len=200000 build-fuzz/corpus/$$n fuzz/corpus/$$n || exit 1; \
	done

# Replays the committed corpus once: no crash, no sanitizer report.
fuzz-replay: build-fuzz/CMakeCache.txt
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@for f in build-fuzz/fuzz/fuzz_*; do \
	  n=$$(basename $$f); echo "== replay $$n"; \
	  $$f -runs=0 fuzz/corpus/$$n/* || exit 1; \
	done

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x $$b ] && $$b; done
	@for s in bench/*_bench.sh; do [ -x $$s ] && $$s $(BUILD); done

install: build
	cmake --install $(BUILD)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz
