# Thin wrapper over CMake: `make demo` draws the sample section, `make test`
# runs every test in a sanitizer build.
JOBS ?= 2
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
          UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

FUZZ_SECONDS ?= 60

.PHONY: deps build demo test fuzz bench install deb clean

deps:
	bash tools/install_deps.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGLIDERSECT_TESTS=OFF >/dev/null
	cmake --build build -j$(JOBS)

# The hardcopy goes to build/demo, beside a link to the sample file that
# the session names.
demo: build
	mkdir -p build/demo
	ln -sf ../../examples/sample.SCI build/demo/sample.SCI
	cd build/demo && ../glidersect --headless < ../../examples/demo_session.txt

test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIDERSECT_SANITIZE=ON -DGLIDERSECT_BENCH=OFF >/dev/null
	cmake --build build-test -j$(JOBS)
	cd build-test && $(SAN_ENV) ctest --output-on-failure -j$(JOBS)

fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIDERSECT_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j$(JOBS) --target fuzz_dive_file fuzz_netcdf fuzz_fields fuzz_session fuzz_cpt
	bash tests/fuzz/run.sh $(CURDIR)/build-fuzz $(FUZZ_SECONDS)

bench: build
	cmake -S . -B build -DGLIDERSECT_BENCH=ON >/dev/null
	cmake --build build -j$(JOBS)
	bash bench/run.sh

# The program and its manual page under /usr/local (PREFIX=... for another place).
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix $(PREFIX)

# A Debian package in build/.
deb: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-test
