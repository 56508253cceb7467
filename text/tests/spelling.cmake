# Tests of French spelling: the checker, the text window's underline and dialog, the command line.
add_module_test(text spelling LIBS text_core)
add_module_test(text spellunderline LIBS text_ui)
add_module_test(text spellingframe LIBS shell_ui)
