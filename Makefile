# The README's two commands, and the other entry points. Each sets up what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The unit tests spend most of their time waiting on the game's ticks: twice as many at once as
# there are cores keep the cores busy.
TEST_JOBS ?= $(shell echo $$((2 * $(JOBS))))
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 300
# A prefix for the sanitizer and fuzz builds' commands (`make test` lowers their priority).
NICE ?=
# The checking builds' optimisation and debug information: line tables are all a sanitizer's or the
# fuzzer's report needs for its stack, and full debug information doubled these builds' time. The
# sanitized unit tests run as fast unoptimised, and build in two thirds of the time.
SANITIZE_CFLAGS ?= -O0 -g1 -DNDEBUG
FUZZ_CFLAGS ?= -O2 -g1 -DNDEBUG
# The checking builds are built whole and never edited in: compiled a batch of sources at a time,
# the Qt headers are read once a batch rather than once a source.
CHECK_CMAKE_FLAGS ?= -DCMAKE_UNITY_BUILD=ON

.PHONY: all setup setup-test configure build run test format format-check clean install package screenshots bench soak test-sanitize fuzz-build test-fuzz fuzz

all: build

# What building and playing need; setup-test adds the test, fuzz, benchmark and packaging tools.
# Only setup, setup-test, run, test and the targets that name them install anything: a build on a
# machine that has the tools (and maybe no apt at all) just builds.
setup:
	@bash scripts/setup.sh play

setup-test:
	@bash scripts/setup.sh test

configure:
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: setup build
	@bash scripts/run.sh $(BUILD)/trotix

# The house style (.clang-format) over the C++ sources the repository holds: format rewrites them,
# format-check fails on the first line that differs (make test runs it first). FORMAT_FILES: those
# to check alone.
CLANG_FORMAT ?= clang-format-19
FORMAT_FILES ?= $(shell git ls-files -- src pics sounds tests bench fuzz packaging | grep -E '\.(cpp|h)$$')

format:
	$(if $(FORMAT_FILES),@$(CLANG_FORMAT) -i $(FORMAT_FILES),@echo "format: no sources from git here")

format-check:
	$(if $(FORMAT_FILES),@$(CLANG_FORMAT) --dry-run -Werror $(FORMAT_FILES),@echo "format-check: no sources from git here")

# Every test of the plain build (units, end-to-end races, packaging), then the unit tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets' smoke runs. The end-to-end
# tests mostly wait on real ticks: where each network test gets a network namespace of its own (as
# root), they run all at once in the background meanwhile, the later builds niced below them, and
# their output comes last. Elsewhere everything runs one after the other.
test: setup-test format-check build
	@if unshare -n ip link set lo up 2>/dev/null; then \
	  (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 16 -L e2e >e2e-tests.log 2>&1) & e2e=$$!; \
	  status=0; \
	  (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -LE e2e) && \
	    $(MAKE) --no-print-directory test-sanitize test-fuzz NICE="nice -n 10" || status=1; \
	  wait $$e2e || status=1; \
	  echo "End-to-end tests:"; cat $(BUILD)/e2e-tests.log; exit $$status; \
	else \
	  (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)) && \
	    $(MAKE) --no-print-directory test-sanitize test-fuzz; \
	fi

# The unit tests (the game's code in-process, and the game binary they start) built with
# AddressSanitizer and UndefinedBehaviorSanitizer in $(SANITIZE_BUILD), over the pictures of
# $(BUILD); any finding, leak included, fails its test.
test-sanitize: setup-test build
	@cmake -S . -B $(SANITIZE_BUILD) -DTROTIX_SANITIZE=ON -DTROTIX_PICS_FROM=$(abspath $(BUILD))/pics \
	  -DCMAKE_BUILD_TYPE=Checked -DCMAKE_CXX_FLAGS_CHECKED="$(SANITIZE_CFLAGS)" $(CHECK_CMAKE_FLAGS) $(CMAKE_FLAGS) >/dev/null
	@$(NICE) cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target unit_tests
	@cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -L unit

# The libFuzzer targets (clang) in $(FUZZ_BUILD); test-fuzz runs each for a fixed number of inputs.
fuzz-build: setup-test
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DTROTIX_FUZZ=ON -DBUILD_TESTING=OFF \
	  -DCMAKE_BUILD_TYPE=Checked -DCMAKE_CXX_FLAGS_CHECKED="$(FUZZ_CFLAGS)" $(CHECK_CMAKE_FLAGS) >/dev/null
	@$(NICE) cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

test-fuzz: fuzz-build
	@cd $(FUZZ_BUILD)/fuzz && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_TIME seconds, its corpus growing in fuzz-out/<target>/ and anything it
# finds kept there as crash-*; `make fuzz FUZZ_TIME=3600` for an hour each.
fuzz: fuzz-build
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_TIME)

# Installs the game, its pictures, menu entry, icons and metadata under PREFIX (DESTDIR honoured).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, for `sudo apt install ./$(BUILD)/trotix_*.deb`.
package: setup-test build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/trotix_*.deb

# Screenshots of every screen into docs/screenshots (1x, 2x of the metainfo's five, and the longest name's).
screenshots: build
	@cmake --build $(BUILD) --target screenshots
	@rm -rf docs/screenshots && cp -r $(BUILD)/screenshots docs/screenshots

# Benchmarks against the floor and a minimal Qt program, then the ratios the documentation quotes
# (about five minutes; needs valgrind for the instruction counts). Measures the build type of $(BUILD).
bench: setup-test configure
	@cmake --build $(BUILD) -j $(JOBS) --target trotix_bench
	@python3 bench/report.py $(BUILD)

# A long run of one real game: SOAK_RACES races with the book, the help and network connections
# among them, its resident memory and descriptors after each into $(BUILD)/soak.csv (about twenty
# minutes, so not part of `make test`). Port 1234 is its own where a network namespace can be made.
SOAK_RACES ?= 200
soak: setup-test build
	@soak="python3 scripts/soak.py $(BUILD)/trotix $(BUILD)/pics --races $(SOAK_RACES) --csv $(BUILD)/soak.csv"; \
	if unshare -n ip link set lo up 2>/dev/null; then unshare -n sh -c "ip link set lo up && $$soak"; else $$soak; fi

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
