# The README's two commands, and the other entry points. Each sets up what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all setup configure build run test clean install package screenshots bench

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/trotix

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Installs the game, its pictures, menu entry, icons and metadata under PREFIX (DESTDIR honoured).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, for `sudo apt install ./$(BUILD)/trotix_*.deb`.
package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/trotix_*.deb

# Screenshots of every screen into docs/screenshots (1x, and 2x of the metainfo's five).
screenshots: build
	@cmake --build $(BUILD) --target screenshots
	@rm -rf docs/screenshots && cp -r $(BUILD)/screenshots docs/screenshots

# Benchmarks against the floor and a minimal Qt program, then one table (about three minutes;
# needs valgrind for the instruction counts). Measures the build type of $(BUILD).
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target trotix_bench_report
	@$(BUILD)/bench/trotix_bench_report

clean:
	rm -rf $(BUILD)
