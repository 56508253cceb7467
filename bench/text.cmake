# Word processor: RTF parse and write throughput and the time from the file's bytes to the
# first page on screen, for a 10 MB document written the way the control writes it.
add_executable(bench_text_rtf ${CMAKE_CURRENT_LIST_DIR}/text_rtf.cpp)
target_link_libraries(bench_text_rtf PRIVATE text_ui benchmark::benchmark)
