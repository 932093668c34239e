# The commands a newcomer types. Everything is built into $(BUILD).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build test native-build native-test fuzz clean

all: build

setup:
	@tools/setup.sh $(BUILD)

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake >$(BUILD)/configure.log 2>&1 \
		|| { cat $(BUILD)/configure.log; exit 1; }

# The executables end up in $(BUILD)/bin.
build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build native-test
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The PNG decoder built for this machine with clang, from the target's
# libpng sources as well: its tests under AddressSanitizer and UBSan, and a
# short bounded run of its fuzz target.
native-build: setup
	@cmake -S tests/native -B $(BUILD)/native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DKEYVANE_PNG_SOURCE="$$(ls -d $(abspath $(BUILD))/deps/src/libpng1.6-*/ | head -n1)" \
		>$(BUILD)/native-configure.log 2>&1 || { cat $(BUILD)/native-configure.log; exit 1; }
	@cmake --build $(BUILD)/native -j$(JOBS)

native-test: native-build
	@cd $(BUILD)/native && ctest --output-on-failure -j2

# A longer fuzz run: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS ?= 60
fuzz: native-build
	@tools/fuzz-png.sh --build $(BUILD)/native $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
