# Korvalite: the two set-up commands are `make demo` and `make test`; both run `make setup`
# first, which installs what is missing and otherwise does nothing.

JOBS ?= $(shell nproc)
NATIVE := build/native
WIN64 := build/win64
DEPS ?= $(CURDIR)/.deps
IN ?=

.PHONY: all setup build native win64 test test-native test-windows bench demo format clean

all: build

setup:
	@KORVALITE_DEPS=$(DEPS) bash scripts/setup.sh

$(NATIVE)/CMakeCache.txt: | setup
	cmake -S . -B $(NATIVE) -DKORVALITE_DEPS=$(DEPS)

$(WIN64)/CMakeCache.txt: | setup
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKORVALITE_DEPS=$(DEPS)

native: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

win64: setup $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

build: native win64

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-windows: win64
	cd $(WIN64) && ctest --output-on-failure -j $(JOBS)

test: build
	@bash scripts/run-tests.sh $(NATIVE) $(WIN64)

bench: native
	cmake --build $(NATIVE) -j $(JOBS) --target benchmarks
	@for b in $(NATIVE)/bench/*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b"; fi; done

demo: build
	@bash scripts/demo.sh "$(IN)"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
