# French spelling in the text window: the underline and its context menu, the dialog.
target_sources(text_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/spellunderline.h ${CMAKE_CURRENT_LIST_DIR}/spellunderline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/torthographe.h ${CMAKE_CURRENT_LIST_DIR}/torthographe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ttexte_spelling.cpp
)
