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

# Data entry and the calculator under libFuzzer with the sanitizers, for FUZZ_SECONDS seconds
# on the seed corpus (new inputs go to $(FUZZ)/corpus).
FUZZ         ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SOURCES  = tests/fuzz/fuzz_getdata.cpp src/gen/getdata.cpp src/gen/calc.cpp \
                src/gen/ground.cpp src/gen/scroll.cpp src/gen/func.cpp
fuzz: $(FUZZ)/fuzz_getdata
	mkdir -p $(FUZZ)/corpus
	$(FUZZ)/fuzz_getdata -max_total_time=$(FUZZ_SECONDS) -timeout=10 -close_fd_mask=3 \
	    -artifact_prefix=$(FUZZ)/ $(FUZZ)/corpus tests/fuzz/corpus

$(FUZZ)/fuzz_getdata: $(FUZZ_SOURCES) $(wildcard src/gen/*.h)
	mkdir -p $(FUZZ)
	clang++ -std=c++17 -g -O1 -Wall -Wextra -Isrc \
	    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
	    $(FUZZ_SOURCES) -o $@
