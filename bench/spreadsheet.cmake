# Spreadsheet engine: open + full recalculation + CSV of a 100 000-formula workbook against
# the XML copy floor, and the recalculation after one input changes.
add_executable(bench_spreadsheet_engine spreadsheet_engine.cpp)
target_link_libraries(bench_spreadsheet_engine PRIVATE spreadsheet_core benchmark::benchmark)
