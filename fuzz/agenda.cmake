# The agenda's reader of outside data: ".qva" files.
add_fuzz_target(agendafile LIBS agenda_core)
