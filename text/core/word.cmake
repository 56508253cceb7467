# Rich text model, RTF reader and writer, paged layout for printing, mail-merge markers.
target_sources(text_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/richtext.h ${CMAKE_CURRENT_LIST_DIR}/richtext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfreader.h ${CMAKE_CURRENT_LIST_DIR}/rtfreader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfwriter.h ${CMAKE_CURRENT_LIST_DIR}/rtfwriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pageddocument.h ${CMAKE_CURRENT_LIST_DIR}/pageddocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mailmerge.h ${CMAKE_CURRENT_LIST_DIR}/mailmerge.cpp
)
