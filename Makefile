# The two commands of the README: `make run` and `make test`.
# Everything else here is a convenience for developers.

BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run run-coursebook run-filterdemo test test-asan monkey bench fuzz install package clean

all: build

deps:
	@./scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/bin && ./workbench

run-coursebook: build
	cd $(BUILD)/bin && ./coursebook

run-filterdemo: build
	cd $(BUILD)/bin && ./filterdemo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
		ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer: any report
# of either fails the test that made it. Qt WebEngine's own library frees with a sized delete of
# another size (inside the browser engine, not in our code), so that one check is off.
ASAN_BUILD ?= build-asan
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1:new_delete_type_mismatch=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXILO_SANITIZE=ON $(ASAN_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
		ctest --output-on-failure -j $(JOBS)

# The monkey for SECONDS seconds from a random seed (MONKEY_SEED=n repeats a run); it prints the
# seed, and on a failure the last actions.
SECONDS ?= 60
monkey: build
	cmake --build $(BUILD) -j $(JOBS) --target tst_monkey
	cd $(BUILD)/tests-bin && QT_QPA_PLATFORM=offscreen MONKEY_SECONDS=$(SECONDS) \
		QTEST_FUNCTION_TIMEOUT=$$(( ($(SECONDS) + 300) * 1000 )) ./tst_monkey

# Installs under PREFIX (default /usr/local); DESTDIR stages the installation elsewhere.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package vexilo_<version>_<arch>.deb in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target run-bench

# The scheme-file loader under libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# seeded with the ready-made labs, for FUZZ_SECONDS seconds.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 120
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXILO_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(FUZZ_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_scheme makelabs workbench_data
	rm -rf $(FUZZ_BUILD)/corpus && mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	cp $(FUZZ_BUILD)/bin/Labs/*.workbench $(FUZZ_BUILD)/corpus/ 2>/dev/null || true
	cd $(FUZZ_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		./tests-bin/fuzz_scheme -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -print_final_stats=1 \
		-artifact_prefix=findings/ corpus

clean:
	rm -rf $(BUILD)
