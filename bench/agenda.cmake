# Day planner: load, save and day-to-day moves on a ten-year agenda against the plain read
# of the file; agenda-resave.sh times the headless re-save against cp.
add_executable(bench_agenda agenda_bench.cpp)
target_link_libraries(bench_agenda PRIVATE agenda_ui benchmark::benchmark)
