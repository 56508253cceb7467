# Sources of the HTML export, glossary and text tools: target_sources(text_core PRIVATE ...)
