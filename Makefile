# The two everyday commands: `make run` and `make test`. See README.md.
RELEASE := build/release
ASAN    := build/asan
FUZZ    := build/fuzz
DEMO    := $(RELEASE)/demo

.PHONY: all deps build demo run test asan asan-test tsan-test fuzz bench clean package docs e2e windows-test

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

demo: build
	@$(RELEASE)/bin/lapgen --demo $(DEMO)

# The program on the demo laps of the primary game (LFS). Without a display it
# runs on the offscreen platform and saves a picture of its main window.
APP  := $(RELEASE)/bin/tarnwick
SHOT := $(RELEASE)/screenshot.png
LAPS := $(DEMO)/lfs/data/raf/lap1.raf $(DEMO)/lfs/data/raf/lap2.raf $(DEMO)/lfs/data/raf/lap3.raf
run: demo
	@if [ -n "$${DISPLAY}$${WAYLAND_DISPLAY}" ]; then \
		$(APP) $(LAPS); \
	else \
		QT_QPA_PLATFORM=offscreen TARNWICK_STARTUP_LOG=1 $(APP) --screenshot $(SHOT) $(LAPS) && \
		echo "No display: the main window was saved to $(SHOT)"; \
	fi

test: demo
	@ctest --preset release

# The data library's tests under AddressSanitizer and UBSan.
asan-test: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

# The analysis library's tests under ThreadSanitizer: long laps are read on two threads.
tsan-test: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

# The libraries, the command-line tool and their tests cross-compiled for 64-bit
# Windows and run under Wine; then the tool's output compared byte for byte with
# the Linux build's on the demo laps.
WINDOWS := build/windows
windows-test: demo
	@tools/install-deps.sh tools/windows-packages.txt
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@TARNWICK_WINE_BUILD=$(CURDIR)/$(WINDOWS) tools/wine-run.sh $(WINDOWS)/bin/tarnwick-cli.exe --version
	@ctest --preset windows
	@tests/windows/golden.sh $(RELEASE) $(WINDOWS)

fuzz: deps
	@tools/install-deps.sh tools/fuzz-packages.txt
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@for w in $(FUZZ)/bin/make_*_seeds; do n=$${w##*/make_}; $$w $(FUZZ)/corpus-$${n%_seeds}; done
	@mkdir -p $(FUZZ)/corpus-formula && cp fuzz/formula-seeds/* $(FUZZ)/corpus-formula/
	@echo "Run a target, e.g.: $(FUZZ)/bin/fuzz_gp2 -max_total_time=600 $(FUZZ)/corpus-gp2"

# The benchmark programs, then the peer comparisons with pandas (ratios at the end).
bench: build
	@for b in $(RELEASE)/bin/*_bench; do echo "== $${b##*/}"; $$b --benchmark_min_time=0.5; done
	@bench/csv_vs_pandas.sh $(RELEASE)
	@bench/export_vs_pandas.sh $(RELEASE)
	@bench/startup.sh $(RELEASE)

clean:
	rm -rf build

# The user guide with fresh pictures of every window: build/release/docs/guide.md
docs: demo
	@tools/make-docs.sh $(RELEASE)

# The Debian package of the program and the command-line tool, with the guide:
# build/release/tarnwick_*.deb
package: docs
	@cd $(RELEASE) && rm -f tarnwick_*.deb && cpack --config CPackConfig.cmake

# The installed program under a real X display (Xvfb), driven with real input.
e2e: package
	@tests/e2e/run.sh $(RELEASE)
