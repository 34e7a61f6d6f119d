# Two commands do all the set-up on a fresh Debian machine:
#   make run   installs what is missing, builds, opens the workbench on the sample knowledge base
#   make test  installs what is missing, builds, runs every test headless
BUILD ?= build
JOBS  ?= 2
PACKAGES = cmake g++ make qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n \
           libgtest-dev xvfb fonts-dejavu-core

.PHONY: all deps build run test clean

all: build

deps:
	@./tools/install-deps.sh $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/zelmora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD)
