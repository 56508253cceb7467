# Tests of the rich text model, RTF and the text window
add_module_test(text rtf LIBS text_core)
add_module_test(text richedit LIBS text_ui)
add_module_test(text ttexte LIBS text_ui testsupport)
add_module_test(text ttexteframe LIBS shell_ui)
