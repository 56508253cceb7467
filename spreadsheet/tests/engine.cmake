# Tests of the workbook engine (spreadsheet/core)
add_module_test(spreadsheet formulaparser LIBS spreadsheet_core)
add_module_test(spreadsheet functionsvalues LIBS spreadsheet_core)
add_module_test(spreadsheet workbookengine LIBS spreadsheet_core)
