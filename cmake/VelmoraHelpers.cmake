# Shared build settings and the test helper used by every module.

# Warnings for the project's own targets (Qt headers are system headers).
function(velmora_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# add_module_test(<module> <name> [LIBS lib...] [SOURCES extra.cpp...])
# builds tst_<name> from tests/tst_<name>.cpp and registers it as <module>-<name>,
# always headless, independent of the machine's locale, and with data and state folders
# of its own in the build tree (never the user's).
function(add_module_test module name)
  if(NOT VELMORA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  add_executable(tst_${name} tst_${name}.cpp ${ARG_SOURCES})
  velmora_target_defaults(tst_${name})
  target_link_libraries(tst_${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  add_test(NAME ${module}-${name} COMMAND tst_${name})
  set_tests_properties(${module}-${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;VELMORA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/data;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/state"
    TIMEOUT 120)
endfunction()
