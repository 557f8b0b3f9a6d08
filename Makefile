# Korvalite: the two set-up commands are `make demo` and `make test`; both run `make setup`
# first, which installs what is missing and otherwise does nothing.

JOBS ?= $(shell nproc)
NATIVE := build/native
WIN64 := build/win64
LINUX := build/linux
DEPS ?= $(CURDIR)/.deps
IN ?=

.PHONY: all setup build native win64 linux plugin-linux test test-native test-windows test-hosts bench bench-compare demo format settled-states clean

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

# The Linux release plug-in needs only cmake and g++: set-up installs just those for it.
plugin-linux:
	@KORVALITE_DEPS=$(DEPS) bash scripts/setup.sh --linux-plugin
	cmake -S . -B $(LINUX) -DKORVALITE_LINUX_RELEASE=ON -DKORVALITE_DEPS=$(DEPS)
	cmake --build $(LINUX) -j $(JOBS) --target Korvalite_64
	@echo "built $(LINUX)/plugin/Korvalite.so"

# The release tree with the host tool and the real-host tests (configured again so a tree
# first made by plugin-linux, before set-up installed libsndfile, gains them).
linux: setup
	cmake -S . -B $(LINUX) -DKORVALITE_LINUX_RELEASE=ON -DKORVALITE_DEPS=$(DEPS)
	cmake --build $(LINUX) -j $(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-windows: win64
	cd $(WIN64) && ctest --output-on-failure -j $(JOBS)

test-hosts: linux
	cd $(LINUX) && ctest --output-on-failure -L realhost

test: build linux
	@bash scripts/run-tests.sh $(NATIVE) $(WIN64) $(LINUX)

bench: native
	cmake --build $(NATIVE) -j $(JOBS) --target benchmarks
	@for b in $(NATIVE)/bench/*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b"; fi; done

# The model benchmark of this tree against that of another revision, in turns:
# make bench-compare BASE=<commit, tag or branch>
BASE ?= HEAD
bench-compare: native
	@bash scripts/bench-compare.sh $(NATIVE) $(BASE)

demo: build
	@bash scripts/demo.sh "$(IN)"

# The model's settled idle states, computed ahead of time for each platform's valve tables
# (model/SettledStates*.inc): run after a change to the circuit, its data or its state, when the
# settled_states_match_committed_data test says the committed files are stale.
settled-states: $(NATIVE)/CMakeCache.txt $(WIN64)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS) --target korvalite-settle
	cmake --build $(WIN64) -j $(JOBS) --target korvalite-settle
	$(NATIVE)/tools/settle/korvalite-settle model/SettledStatesLinux.inc
	bash scripts/wine-run.sh --prefix $(WIN64)/wineprefix $(WIN64)/tools/settle/korvalite-settle.exe model/SettledStatesWindows.inc

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
