# Front door over CMake. `make` builds everything, `make test` runs every suite,
# `make demo` builds and installs the demo package under Wine, `make bench` measures.
TOP      := $(CURDIR)
DEPS     := $(TOP)/build/deps
JOBS     ?= 2
EXPAT64  := $(DEPS)/x86_64-w64-mingw32/expat/lib/cmake/expat-2.5.0
EXPAT32  := $(DEPS)/i686-w64-mingw32/expat/lib/cmake/expat-2.5.0

.PHONY: all deps win64 win32 host test demo bench clean

all: win64 win32 host

deps:
	bash scripts/deps.sh

build/win64/build.ninja: | deps
	cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
	    -Dexpat_DIR=$(EXPAT64)

build/win32/build.ninja: | deps
	cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	    -Dexpat_DIR=$(EXPAT32) -DZOR_BUILD_TESTS=OFF

build/host/build.ninja: | deps
	cmake -S . -B build/host -G Ninja

win64: build/win64/build.ninja
	cmake --build build/win64 -j $(JOBS)

win32: build/win32/build.ninja
	cmake --build build/win32 -j $(JOBS)

host: build/host/build.ninja
	cmake --build build/host -j $(JOBS)

test: deps
	$(MAKE) all
	bash scripts/run-tests.sh

demo: deps
	$(MAKE) win64 host
	bash scripts/demo.sh

bench: deps
	$(MAKE) win64 host
	bash scripts/bench.sh

clean:
	rm -rf build/win64 build/win32 build/host build/wineprefix*
