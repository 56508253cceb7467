# Tests of the rich text model, RTF and the text window
