// The adaptor kit stand-in (placeholder).
