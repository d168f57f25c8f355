# The two set-up commands: `make demo` and `make check`. Everything else is a helper of them.
BUILD   ?= build
ASAN    ?= build-asan
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build check demo asan-check fuzz clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-check:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQOR_SANITIZE=ON -DQOR_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS)

demo: build
	bash examples/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN)
