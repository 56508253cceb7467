# Sources of the HTML export, glossary and text tools: target_sources(text_core PRIVATE ...)
target_sources(text_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/htmlexport.h ${CMAKE_CURRENT_LIST_DIR}/htmlexport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glossary.h ${CMAKE_CURRENT_LIST_DIR}/glossary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolformulas.h ${CMAKE_CURRENT_LIST_DIR}/toolformulas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pagegeometry.h ${CMAKE_CURRENT_LIST_DIR}/pagegeometry.cpp
)
