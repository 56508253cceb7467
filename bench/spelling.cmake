# French spelling: the delay spelling adds to a key press in a 10 MB document, and the
# command-line check of a 1 MB text (needs the hunspell-fr dictionary).
add_executable(bench_text_spelling ${CMAKE_CURRENT_LIST_DIR}/text_spelling.cpp)
target_link_libraries(bench_text_spelling PRIVATE text_ui benchmark::benchmark)
