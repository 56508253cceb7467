# The RTF reader (and the writer on what it read).
add_fuzz_target(rtf LIBS text_core)
