# Sources of the text tool forms: target_sources(text_ui PRIVATE ...)
target_sources(text_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tooldialog.h ${CMAKE_CURRENT_LIST_DIR}/tooldialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tstats.h ${CMAKE_CURRENT_LIST_DIR}/tstats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tdatheur.h ${CMAKE_CURRENT_LIST_DIR}/tdatheur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcasse.h ${CMAKE_CURRENT_LIST_DIR}/tcasse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcaract.h ${CMAKE_CURRENT_LIST_DIR}/tcaract.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ttabul.h ${CMAKE_CURRENT_LIST_DIR}/ttabul.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tparagraf.h ${CMAKE_CURRENT_LIST_DIR}/tparagraf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmep.h ${CMAKE_CURRENT_LIST_DIR}/tmep.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tenveloppes.h ${CMAKE_CURRENT_LIST_DIR}/tenveloppes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tglos.h ${CMAKE_CURRENT_LIST_DIR}/tglos.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tecran.h ${CMAKE_CURRENT_LIST_DIR}/tecran.cpp
  ${CMAKE_CURRENT_LIST_DIR}/envelopeprinter.h ${CMAKE_CURRENT_LIST_DIR}/envelopeprinter.cpp
)
