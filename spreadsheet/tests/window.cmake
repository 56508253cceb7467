# Tests of the workbook control widget and the spreadsheet window (spreadsheet/ui)
