# Sources of the rich text model and RTF reader/writer: target_sources(text_core PRIVATE ...)
