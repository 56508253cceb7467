# The text tools' readers of outside data: the HTML line converter and the glossary file.
add_fuzz_target(htmlline LIBS text_core)
add_fuzz_target(glossary LIBS text_core)
