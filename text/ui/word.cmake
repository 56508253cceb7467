# Sources of the rich edit control and the text window: target_sources(text_ui PRIVATE ...)
