# The commands a newcomer needs; see README.md.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/scripts/sanitizer.supp:print_suppressions=0
export TSAN_OPTIONS ?= halt_on_error=1:second_deadlock_stack=1

.PHONY: deps build test sanitize fuzz bench run clean

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

run: deps build
	@scripts/run.sh

clean:
	rm -rf build
