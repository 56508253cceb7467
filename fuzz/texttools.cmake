# The text tools' readers of outside data: the HTML export and the glossary file.
add_fuzz_target(htmlexport LIBS text_core)
add_fuzz_target(glossary LIBS text_core)
