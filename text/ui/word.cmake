# The rich edit control, ruler, text window and its find and replace dialogs.
target_sources(text_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/richedit.h ${CMAKE_CURRENT_LIST_DIR}/richedit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ruler.h ${CMAKE_CURRENT_LIST_DIR}/ruler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textfinddialogs.h ${CMAKE_CURRENT_LIST_DIR}/textfinddialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ttexte.h ${CMAKE_CURRENT_LIST_DIR}/ttexte.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ttexte_recovery.cpp
)
