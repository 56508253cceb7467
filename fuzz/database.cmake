# Fuzz targets of the database module: the ".qvb" reader and the CSV reader.
add_fuzz_target(qvbfile LIBS database_core)
add_fuzz_target(dbcsv LIBS database_core)
