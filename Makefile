# The commands a newcomer types. Everything is built into $(BUILD).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build test clean

all: build

setup:
	@tools/setup.sh $(BUILD)

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake >$(BUILD)/configure.log 2>&1 \
		|| { cat $(BUILD)/configure.log; exit 1; }

# The executables end up in $(BUILD)/bin.
build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD)
