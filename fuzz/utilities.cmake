# Fuzz targets of the desk utilities.
add_fuzz_target(notesfile LIBS utilities_core)
add_fuzz_target(pocketcalculator LIBS utilities_core)
