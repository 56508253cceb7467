# Tests of the HTML export, glossary and text tools
add_module_test(text htmlexport LIBS text_core testsupport)
add_module_test(text glossary LIBS text_core)
add_module_test(text texttoolsformulas LIBS text_core)
add_module_test(text texttoolsdialogs LIBS text_ui)
add_module_test(text texttools LIBS text_ui)
add_module_test(text texttoolsprint LIBS text_ui)
