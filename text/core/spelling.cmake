# French spelling: word splitting and the Hunspell dictionary.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HUNSPELL REQUIRED IMPORTED_TARGET hunspell)
target_sources(text_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/wordsplitter.h ${CMAKE_CURRENT_LIST_DIR}/wordsplitter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spellchecker.h ${CMAKE_CURRENT_LIST_DIR}/spellchecker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spellreport.h ${CMAKE_CURRENT_LIST_DIR}/spellreport.cpp
)
target_link_libraries(text_core PRIVATE PkgConfig::HUNSPELL)
