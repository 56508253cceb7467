# Card-file database at full size: load + save, sort, search and the window's load against
# the floor of reading and writing the bytes; database-sort.sh adds `sort` on the same CSV.
add_executable(bench_database database_bench.cpp)
target_link_libraries(bench_database PRIVATE database_ui benchmark::benchmark)
