# Setup.exe: build, test and demo from a fresh Debian machine.
#   make demo   set up, build what the demo shows, and run the launcher's
#               main job under Wine
#   make test   set up, build, and run every test layer
#   make bench  time Setup.exe beside a peer bootstrapper under Wine
#   make gallery  render the already-installed dialogs into docs/dialogs/
#   make fuzz   run every fuzz target for FUZZ_SECONDS seconds (default 60)
#   make release  dist/Setup.exe signed, with checksum and build information
#                 (SIGN_PKCS12, SIGN_PKCS11_* or SIGN_CERT/SIGN_KEY, with
#                 SIGN_PASSWORD_FILE and SIGN_TIMESTAMP_URL; else a test cert)
#   make coverage  line coverage of the pure logic by the native tests and
#                  the fuzz seed corpora
# Each of these installs what it needs and the machine lacks (as root,
# through apt-get), and nothing else; make deps installs everything. make
# host, win and win64 build with what is there: Setup.exe needs MinGW alone.
BUILD := build
HOST := $(BUILD)/host
WIN := $(BUILD)/win
WIN64 := $(BUILD)/win64
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS := 60
FUZZ_TARGETS :=
JOBS := $(shell nproc)

.PHONY: all deps build host host-tree win win64 fuzz-tree fuzz test demo bench gallery \
	coverage release clean

all: build

deps:
	@tools/install-deps all

# What the Windows trees build beyond Setup.exe: by default whatever the
# machine has the tools for; the targets below ask for exactly their parts.
WIN_OPTIONS :=
WIN_TARGETS :=
test: WIN_OPTIONS := -DSETUP_TESTS=ON -DSETUP_DEMO=ON -DSETUP_BENCH=ON
demo: WIN_OPTIONS := -DSETUP_TESTS=OFF -DSETUP_DEMO=ON -DSETUP_BENCH=OFF
demo: WIN_TARGETS := demo_parts
bench: WIN_OPTIONS := -DSETUP_TESTS=OFF -DSETUP_DEMO=OFF -DSETUP_BENCH=ON
gallery: WIN_OPTIONS := -DSETUP_TESTS=OFF -DSETUP_DEMO=OFF -DSETUP_BENCH=OFF
gallery: WIN_TARGETS := Setup standin ui_driver

# The pure logic and its native tests, with the sanitizers; no root needed.
host-tree:
	cmake -S . -B $(HOST) -DSETUP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(HOST) -j$(JOBS)

host: host-tree
	ctest --test-dir $(HOST) --output-on-failure

# CMake reads a tree's toolchain file when it first configures the tree and
# keeps it in the cache; named again, it would warn that the variable went
# unused. So the file is named only to a tree whose cache holds none yet.
toolchain = $(if $(shell grep -s '^CMAKE_TOOLCHAIN_FILE:' $(1)/CMakeCache.txt),,\
	-DCMAKE_TOOLCHAIN_FILE=$(2))

win:
	cmake -S . -B $(WIN) $(call toolchain,$(WIN),cmake/toolchain-mingw-i686.cmake) \
		-DCMAKE_BUILD_TYPE=Release $(WIN_OPTIONS) >/dev/null
	cmake --build $(WIN) -j$(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))

# The 64-bit twin of the Windows tree: the Wine layers run on it where the
# machine runs no 32-bit code. Its tests of the shipped file take that file
# from the 32-bit tree.
win64: win
	cmake -S . -B $(WIN64) $(call toolchain,$(WIN64),cmake/toolchain-mingw-x86_64.cmake) \
		-DCMAKE_BUILD_TYPE=Release -DSETUP_SHIPPED_EXE=$(CURDIR)/$(WIN)/bin/Setup.exe \
		$(WIN_OPTIONS) >/dev/null
	cmake --build $(WIN64) -j$(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))

# The trees of the Windows programs the test bed runs here: the 32-bit
# tree, and the twin too where the machine runs no 32-bit code of its own
# (or SETUP_TEST_ARCH=x64 asks for it).
.PHONY: wine-trees
wine-trees: win
	@if [ "$$(tests/i386-support)" != native ] || [ "$(SETUP_TEST_ARCH)" = x64 ]; then \
		$(MAKE) --no-print-directory win64 WIN_OPTIONS="$(WIN_OPTIONS)" \
			WIN_TARGETS="$(WIN_TARGETS)"; \
	fi

build: host-tree win win64

# The libFuzzer targets need clang; their tree holds nothing else.
fuzz-tree:
	cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DSETUP_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZ) -j$(JOBS)

# Every fuzz target (or those named in FUZZ_TARGETS) for FUZZ_SECONDS, as
# many at once as there are cores; new inputs go to tests/fuzz/corpus-work/,
# the summary to its summary.txt.
fuzz:
	@tools/install-deps fuzz
	$(MAKE) --no-print-directory fuzz-tree
	tests/fuzz/campaign $(FUZZ) $(FUZZ_SECONDS) $(JOBS) $(FUZZ_TARGETS)

# One CTest run over the four trees, inside a throwaway Wine test bed that
# picks the Windows tree this machine runs (SETUP_TEST_ARCH=x64 forces the
# twin). Each test runs once: the native tests only in this run.
test:
	@tools/install-deps test
	$(MAKE) --no-print-directory host-tree win win64 fuzz-tree WIN_OPTIONS="$(WIN_OPTIONS)"
	printf 'subdirs("host" "win" "win64" "fuzz")\n' > $(BUILD)/CTestTestfile.cmake
	tests/with-wine tests/run-ctest $(BUILD)

# The shipped Setup.exe with the demo helpers of the tree the test bed runs.
demo:
	@tools/install-deps demo
	$(MAKE) --no-print-directory wine-trees WIN_OPTIONS="$(WIN_OPTIONS)" \
		WIN_TARGETS="$(WIN_TARGETS)"
	tests/with-wine tools/demo.sh $(BUILD)

# Pictures of the 24 already-installed dialogs in docs/dialogs/, shown by the
# built Setup.exe under Wine (two test beds: Western and Japanese locale).
gallery:
	@tools/install-deps gallery
	$(MAKE) --no-print-directory wine-trees WIN_OPTIONS="$(WIN_OPTIONS)" \
		WIN_TARGETS="$(WIN_TARGETS)"
	tools/gallery.sh $(BUILD) docs/dialogs

# Wall time beside an NSIS peer under Wine, BENCH_ROUNDS interleaved rounds;
# a benchmark, not a test; of the twin and a 64-bit peer where the machine
# runs no 32-bit code, for nothing is timed under emulation. The summary goes
# to build/<tree>/bench/results/report.md.
BENCH_ROUNDS := 60
bench:
	@tools/install-deps bench
	$(MAKE) --no-print-directory wine-trees WIN_OPTIONS="$(WIN_OPTIONS)"
	tests/with-wine sh -c 'exec bench/run_bench.sh --rounds $(BENCH_ROUNDS) "$(BUILD)/$$SETUP_WINE_TREE"'

# The shipped Setup.exe signed with Authenticode in dist/, checked to be the
# reproducible build once the signature is taken off again, beside its
# checksum and build information. The SIGN_* settings reach the script in
# its environment, as make passes on what was given on its command line or
# set before it (make release SIGN_PKCS12=a.pfx SIGN_PASSWORD_FILE=pw), and
# are checked before anything is built; a failure leaves no output in dist/.
release:
	@tools/release.sh --check dist
	@tools/install-deps release
	$(MAKE) --no-print-directory win WIN_TARGETS=Setup
	tools/release.sh . $(WIN) dist

# Line coverage of the pure logic, from a clang tree of its own.
coverage:
	@tools/install-deps coverage
	tools/coverage.sh $(BUILD)/coverage

clean:
	rm -rf $(BUILD)
