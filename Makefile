# Convenience entry points; the real build is CMake with Ninja in build/.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release -DQUINTAR_WERROR=ON
JOBS ?= $(shell nproc)

.PHONY: all configure build test test-asan fuzz bench run run-cli package manual-screenshots clean

all: build

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The core tests once more in a build of their own under AddressSanitizer and UBSan (no desktop tests),
# at -O1 with line tables only: quicker to build, and enough for the sanitizers' stack traces.
ASAN_BUILD ?= build-asan
ASAN_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
test-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=None -DQUINTAR_GUI=OFF \
	  -DQUINTAR_BENCH=OFF -DCMAKE_CXX_FLAGS="-O1 -g1 $(ASAN_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(ASAN_FLAGS)"
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Fuzz targets (clang, libFuzzer): each runs FUZZ_SECONDS from the seed corpus in fuzz/corpus.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTAR_FUZZ=ON \
	  -DQUINTAR_GUI=OFF -DQUINTAR_TESTS=OFF -DQUINTAR_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	sh scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	cmake --build $(BUILD) --target quintar-bench
	$(BUILD)/bench/quintar-bench

run-cli: build
	sh scripts/run-cli-demo.sh $(BUILD)

run: build
	sh scripts/run.sh $(BUILD)

# The Debian package from a distribution build of its own (it never installs updates itself), installed
# into /usr; the package quintar-7x35_<version>_<arch>.deb lands in the repository's root.
PKG_BUILD ?= build-package
package:
	cmake -S . -B $(PKG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINTAR_DISTRIBUTION=ON \
	  -DCMAKE_INSTALL_PREFIX=/usr -DQUINTAR_TESTS=OFF -DQUINTAR_BENCH=OFF -DQUINTAR_WERROR=ON
	cmake --build $(PKG_BUILD) -j $(JOBS) --target Quintar_7x35 quintar-cli quintar_help quintar_manual
	cd $(PKG_BUILD) && cpack -G DEB
	cp $(PKG_BUILD)/quintar-7x35_*.deb .

# The pictures of the manual, taken from the program itself on the offscreen platform.
manual-screenshots: build
	sh scripts/manual-screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD)
