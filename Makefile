# The two everyday commands: `make run` and `make test`. See README.md.
RELEASE := build/release
ASAN    := build/asan
FUZZ    := build/fuzz
DEMO    := $(RELEASE)/demo

.PHONY: all deps build demo run test asan asan-test fuzz bench clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

demo: build
	@$(RELEASE)/bin/lapgen --demo $(DEMO)

# Until the viewer exists the main job is the lap information of the demo laps,
# one run per game as the program opens one game at a time.
CLI := $(RELEASE)/bin/tarnwick-cli
run: demo
	@$(CLI) info --primary-game GP2 $(DEMO)/gp2/*.pa?
	@echo; $(CLI) info --primary-game GP3 $(DEMO)/gp3/*.pa?
	@echo; $(CLI) info --primary-game GP3-2000 $(DEMO)/gp3-2000/*.pa?
	@echo; $(CLI) info $(DEMO)/gp4/*.pa?
	@echo; $(CLI) info $(DEMO)/f1rs/*.tlm
	@echo; $(CLI) info $(DEMO)/mgprs2/save1*.tlm
	@echo; $(CLI) info $(DEMO)/generic/*.csv
	@echo; $(CLI) info $(DEMO)/lfs/data/raf/*.raf

test: demo
	@ctest --preset release

# The data library's tests under AddressSanitizer and UBSan.
asan-test: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan -L 'morlund|pellith'

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

clean:
	rm -rf build
