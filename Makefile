# Setup.exe: build, test and demo from a fresh Debian machine.
#   make demo   set up, build, and run the launcher's main job under Wine
#   make gallery  render the already-installed dialogs into docs/dialogs/
#   make test   set up, build, and run every test layer
BUILD := build
HOST := $(BUILD)/host
WIN := $(BUILD)/win
JOBS := $(shell nproc)

.PHONY: all deps build host win test demo clean

all: build

deps:
	@tools/install-deps

host: deps
	cmake -S . -B $(HOST) -DSETUP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(HOST) -j$(JOBS)

win: deps
	cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WIN) -j$(JOBS)

build: host win

# One CTest run over both trees, inside a throwaway Wine test bed.
test: build
	printf 'subdirs("host" "win")\n' > $(BUILD)/CTestTestfile.cmake
	tests/with-wine ctest --test-dir $(BUILD) --output-on-failure

demo: win
	tests/with-wine tools/demo.sh $(WIN)

# Pictures of the 24 already-installed dialogs in docs/dialogs/, shown by the
# built Setup.exe under Wine (two test beds: Western and Japanese locale).
.PHONY: gallery
gallery: win
	tools/gallery.sh $(WIN) docs/dialogs

clean:
	rm -rf $(BUILD)
