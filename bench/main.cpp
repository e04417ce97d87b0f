// One entry for all benchmarks of the program.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
