# The commands a newcomer needs; see README.md, or `make help`.
.DEFAULT_GOAL := help
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/scripts/sanitizer.supp:print_suppressions=0
export TSAN_OPTIONS ?= halt_on_error=1:second_deadlock_stack=1

.PHONY: help deps build test sanitize fuzz bench mutate run clean

help:
	@echo "Cobblebrooks: the targets (README.md tells more)"
	@echo "  make run       install what is missing, build the game and its pak, and start it: a window"
	@echo "                 under X, else a headless stroll through the menu, play screen, yard and shop that lists its screenshots"
	@echo "  make test      install what is missing, build everything and run every test"
	@echo "  make sanitize  the tests under ASan+UBSan, then the threaded ones under TSan"
	@echo "  make build     configure and build everything into build/release"
	@echo "  make deps      install the Debian packages the project needs (needs root or sudo)"
	@echo "  make fuzz      build the libFuzzer targets and run each for FUZZ_SECONDS"
	@echo "  make bench     the benchmarks against the libraries we measure against"
	@echo "  make mutate FILES=\"a.cpp b.cpp\"  mutation testing: change each line of the files, rebuild, run the"
	@echo "                 tests that cover them, list the changes that survived (build/mutate/survivors.txt)"
	@echo "  make clean     remove build/"
	@echo "Settings, as make VAR=value:"
	@echo "  JOBS=n               parallel build and test jobs (now $(JOBS))"
	@echo "  FUZZ_SECONDS=n       seconds per fuzz target (now $(FUZZ_SECONDS))"
	@echo "  FUZZ_HANG_SECONDS=n  an input slower than this is kept as a hang (default 5)"
	@echo "  FILES=\"...\"          the sources make mutate changes (globs; required)"
	@echo "  MUTATE_ARGS=\"...\"    options of scripts/mutate.py, e.g. --workers 3 --tests prog:filter (--help)"
	@echo "The game itself reads COBBLE_* environment variables (the window size, the save folder,"
	@echo "an input script, frame dumps, the sound output...): README.md, \"Platform settings\"."


deps:
	@scripts/deps.sh

build:
	@cmake --preset release >/dev/null
	@cmake --build build/release -j $(JOBS)

test: deps build
	ctest --test-dir build/release --output-on-failure -j $(JOBS)

sanitize: deps
	@cmake --preset asan >/dev/null
	@cmake --build build/asan -j $(JOBS)
	ctest --test-dir build/asan --output-on-failure -j $(JOBS)
	@cmake --preset tsan >/dev/null
	@cmake --build build/tsan -j $(JOBS)
	ctest --test-dir build/tsan --output-on-failure -j $(JOBS) --no-tests=ignore

fuzz:
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@scripts/run-fuzzers.sh build/fuzz/fuzz-bin $(FUZZ_SECONDS)

# Each benchmark program writes its results as JSON too; the table of ratios against the other
# libraries, and each goal, closes the run.
bench:
	@scripts/deps.sh bench
	@cmake --preset bench >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@mkdir -p build/bench/results
	@for b in $$(find build/bench/bench -type f -executable -name '*_bench' | sort); do echo "== $$b"; \
	  $$b --benchmark_out=build/bench/results/$$(basename $$b).json --benchmark_out_format=json || exit 1; done
	@python3 scripts/bench-table.py build/bench/results/*.json

# Mutation testing (not part of make test): a copy of the tree in build/mutate is changed one line
# at a time; the survivors are printed and kept in build/mutate/survivors.txt.
mutate: deps
	@test -n "$(FILES)" || { echo 'make mutate: name the sources, e.g. make mutate FILES="game/farm/src/Chicken_Run.cpp"'; exit 2; }
	@python3 scripts/mutate.py --jobs $(JOBS) $(MUTATE_ARGS) $(FILES)

# Only the program, its pak and its icon: no tests, fuzz targets or benchmarks.
run: deps
	@cmake --preset release >/dev/null
	@cmake --build build/release -j $(JOBS) --target cobblebrooks cobblebrooks_stroll_rankup game_pak app_icon
	@scripts/run.sh

clean:
	rm -rf build
