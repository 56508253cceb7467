# Tests of the workbook engine (spreadsheet/core)
