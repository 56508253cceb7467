# Text tools: HTML export throughput on a 10 MB document against copy floors.
add_executable(bench_texttools_htmlexport texttools_htmlexport.cpp)
target_link_libraries(bench_texttools_htmlexport PRIVATE text_core benchmark::benchmark)
