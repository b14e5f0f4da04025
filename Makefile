# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`. Both install what is missing,
# configure and build first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DOSTREL_WERROR=ON
endif

.PHONY: all deps configure build run test test-desktop bench sanitize clean install deb

all: build

deps:
	@tools/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/app/ostrel-radio $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600 $(CTEST_ARGS)

# The suite as on a contributor's desktop: installs the common desktop extras (more GStreamer
# plug-ins, sound servers, mpv, ffmpeg), then runs it in a lived-in session (docs/testing.md).
test-desktop: build
	tools/test-desktop.sh $(BUILD_DIR) $(CTEST_ARGS)

# Installs into PREFIX (DESTDIR for staging); the desktop finds the entry under PREFIX/share.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR)/packages, its dependencies found by dpkg-shlibdeps.
deb: build
	cd $(BUILD_DIR) && cpack -G DEB -B packages

bench: build
	tools/bench/run-all.sh $(BUILD_DIR)

# A separate tree built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS="-DOSTREL_SANITIZE=ON -DOSTREL_BENCHMARKS=OFF"

clean:
	rm -rf $(BUILD_DIR)
