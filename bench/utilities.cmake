# Benchmarks of the desk utilities.
add_executable(bench_utilities_real48 utilities_real48.cpp)
target_link_libraries(bench_utilities_real48 PRIVATE utilities_core benchmark::benchmark)
