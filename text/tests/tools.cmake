# Tests of the HTML export, glossary and text tools
