# Convenience entry points; the real build is CMake with Ninja in build/.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release -DQUINTAR_WERROR=ON
JOBS ?= $(shell nproc)

.PHONY: all configure build test bench run run-cli clean

all: build

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) --target quintar-bench
	$(BUILD)/bench/quintar-bench

run-cli: build
	sh scripts/run-cli-demo.sh $(BUILD)

run: build
	sh scripts/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
