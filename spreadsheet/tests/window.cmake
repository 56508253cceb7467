# Tests of the workbook control widget and the spreadsheet window (spreadsheet/ui)
add_module_test(spreadsheet sheetdialogs LIBS spreadsheet_ui)
add_module_test(spreadsheet tf1book LIBS spreadsheet_ui)
