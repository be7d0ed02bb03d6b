# Thin wrapper around the CMake presets: `make run` and `make test` do all the set-up.
.PHONY: run test build package sanitize clean deps

deps:
	@tools/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j$$(nproc)

run: build
	./build/vemo2

test: build
	ctest --preset default -j$$(nproc)

# The Debian package, build/vemo2_1.00-1_amd64.deb.
package: build
	@cmake --build --preset default --target package

sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j$$(nproc)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --preset sanitize -j$$(nproc) -L 'unit|pixel|audio'
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --preset sanitize -R 'e2e\.kapat$$'

clean:
	rm -rf build build-sanitize
