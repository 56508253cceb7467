# Sources of the text tool forms: target_sources(text_ui PRIVATE ...)
