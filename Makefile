# Thin wrapper around the CMake presets: `make run` and `make test` do all the set-up.
.PHONY: run test build package sanitize fuzz clean deps windows test-windows windows-deps \
	arm64-deps package-arm64 test-arm64

deps:
	@tools/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j$$(nproc)

run: build
	./build/vemo2

test: build
	ctest --preset default -j$$(nproc)

# The Debian package, build/vemo2_1.00-1_amd64.deb. CPack gives the archive's members the modes
# of the files it writes them from, so the umask is fixed for the same bytes on every machine.
package: build
	@umask 022 && cmake --build --preset default --target package

sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j$$(nproc)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --preset sanitize -j$$(nproc) -L 'unit|pixel|audio'
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --preset sanitize -R 'e2e\.kapat$$'

# Each fuzz target for FUZZ_SECONDS under libFuzzer, built with clang into build-fuzz/.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz -DVEMO_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build --preset fuzz -j$$(nproc)
	ctest --preset fuzz

# The Windows program, cross-built with mingw-w64: build-windows/vemo2.exe. Its tests run under
# Wine; the window tests also compare with the Linux program, so that is built first.
windows-deps:
	@tools/install-windows-deps

windows: windows-deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j$$(nproc)

test-windows: windows build
	ctest --preset windows

# The clock for arm64 (a Raspberry Pi), cross-built into build-arm64/ and packed as
# build-arm64/vemo2_1.00-1_arm64.deb; its tests run under qemu and install the package. Not part
# of run or test: it adds arm64 to dpkg's architectures.
arm64-deps:
	@tools/install-arm64-deps

package-arm64: arm64-deps
	@cmake --preset arm64 >/dev/null
	@cmake --build --preset arm64 -j$$(nproc)
	@umask 022 && cmake --build --preset arm64 --target package

test-arm64: package-arm64
	ctest --preset arm64

clean:
	rm -rf build build-sanitize build-fuzz build-windows build-arm64
