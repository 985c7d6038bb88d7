# The two commands of the README: `make run` and `make test`.
# Everything else here is a convenience for developers.

BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run run-coursebook run-filterdemo test bench fuzz clean

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

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target run-bench

fuzz: build
	cmake --build $(BUILD) -j $(JOBS) --target run-fuzz

clean:
	rm -rf $(BUILD)
