# Two entry points: `make run` and `make test`. Everything else is a helper.
BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
TYPE  ?= RelWithDebInfo

.PHONY: all deps configure build run test bench test-asan fuzz package clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(TYPE)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# the start window on the bundled sample program folder
run: build
	cd $(BUILD)/sample && ./letterkerf-start

# every test, then all of them again under the sanitizers
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan

bench: build
	$(BUILD)/bench/letterkerf_bench

# a Debian package of the suite with the sample program folder and the help documents
package: build
	cd $(BUILD) && cpack

# the whole suite under the address and undefined-behaviour sanitizers
test-asan: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DLK_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

# every reader of outside input under libFuzzer, FUZZ_SECONDS each (clang); FUZZ_TARGETS picks some
FUZZ_SECONDS ?= 60
FUZZ_BUILD   ?= $(BUILD)-fuzz
FUZZ_TARGETS ?=
fuzz:
	@./scripts/install-deps.sh clang libclang-rt-14-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DLK_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lk_fuzzers
	./fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(BUILD)-asan
