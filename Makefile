# The commands a newcomer types. Everything is built into $(BUILD): one tree
# per Windows target, $(BUILD)/i686 (the program that ships) and
# $(BUILD)/x86_64 (the same code, for hosts that run no 32-bit code).
BUILD ?= build
JOBS ?= $(shell nproc)
TARGETS := i686 x86_64
# The target a user runs here: the 32-bit program where the host runs
# 32-bit code, else the x86-64 build of the same code.
RUN_TARGET := $(shell tools/host-runs-i386.sh && echo i686 || echo x86_64)

.PHONY: all setup build test demo bench soak run native-build native-test fuzz clean \
	$(addprefix configure-,$(TARGETS)) $(addprefix build-,$(TARGETS))

all: build

setup:
	@tools/setup.sh $(BUILD)

$(addprefix configure-,$(TARGETS)): configure-%: setup
	@mkdir -p $(BUILD)/$*
	@cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$*-mingw.cmake >$(BUILD)/$*/configure.log 2>&1 \
		|| { cat $(BUILD)/$*/configure.log; exit 1; }

# The executables end up in $(BUILD)/<target>/bin.
$(addprefix build-,$(TARGETS)): build-%: configure-%
	@cmake --build $(BUILD)/$* -j$(JOBS)

build: $(addprefix build-,$(TARGETS))

# Every Wine suite on x86-64, and on i686 too where the host runs 32-bit
# code; the last lines say which targets ran.
test: build native-test
	@tools/test-targets.sh $(BUILD) $(JOBS)

# Keyvane on the simulated pad: a scripted look, its keys printed, and a
# screenshot in $(BUILD)/demo/keyvane.png.
demo: build-$(RUN_TARGET)
	@tools/demo.sh $(BUILD) $(RUN_TARGET)

# Latency, polling, CPU, memory and start-up of Keyvane beside the least
# program of its design; the table, and $(BUILD)/bench/bench.json. The
# 32-bit program is built too: its size and imports are reported.
bench: build-$(RUN_TARGET) build-i686
	@tools/bench.sh $(BUILD) $(RUN_TARGET)

# Keyvane under a seeded random run on the simulated pad, watched for stuck
# keys and growing resources: make soak SECONDS=600 [SEED=n to replay].
SECONDS ?= 300
soak: build-$(RUN_TARGET)
	@tools/pad-run.sh $(BUILD) $(RUN_TARGET) keyvane_soak $(SECONDS) $(SEED)

# Keyvane on this machine's game pad, through Wine's own DirectInput, on
# this machine's desktop: without one nobody could see its window or answer
# its boxes, so it stops at once and says what to run instead.
run:
	@test -n "$$DISPLAY" || { echo "make run: Keyvane needs a desktop to show its window on, and no DISPLAY is set." >&2; \
		echo "make run: 'make demo' runs Keyvane without one: it plays a pad script and prints the keys." >&2; exit 1; }
	@$(MAKE) --no-print-directory build-$(RUN_TARGET)
	@tools/run.sh $(BUILD) $(RUN_TARGET)

# The PNG decoder built for this machine with clang, with the targets'
# libpng built from the same unpacked source: its tests under
# AddressSanitizer and UBSan, and a fuzz run of a few seconds.
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

# What a user gets: dist/Keyvane.exe, the 32-bit program, and
# dist/Keyvane-<version>.zip with it, the licence and docs/README.txt, the
# player's read (with Windows line ends, for every Notepad); their sums in
# dist/SHA256SUMS. The version is the build's KEYVANE_VERSION. The same
# commit gives the same bytes wherever and whenever it is built.
.PHONY: dist reproduce
dist: configure-i686
	@cmake --build $(BUILD)/i686 --target Keyvane -j$(JOBS)
	@tools/dist.sh $(BUILD)

# make dist in two fresh clones of the last commit, in different folders,
# time zones and umasks, compared byte for byte: over a minute, since each
# clone builds its own libpng.
reproduce:
	@tools/reproduce.sh $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD)
