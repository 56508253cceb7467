# Spreadsheet engine: the formula language and the ".qvc" workbook reader.
add_fuzz_target(formula LIBS spreadsheet_core)
add_fuzz_target(qvcfile LIBS spreadsheet_core)
# The CSV reader shared with the database, with the spreadsheet's CSV import on top.
add_fuzz_target(csv LIBS spreadsheet_core)
