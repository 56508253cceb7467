# Tests of French spelling: the checker, the text window's underline and dialog, the command line.
add_module_test(text spelling LIBS text_core)
add_module_test(text spellunderline LIBS text_ui)
add_module_test(text spellingframe LIBS shell_ui)
add_module_test(text spellreport LIBS text_core)
if(TARGET tst_spellreport)
  target_compile_definitions(tst_spellreport PRIVATE VELMORA_EXE="$<TARGET_FILE:velmora>")
  add_dependencies(tst_spellreport velmora)
endif()
