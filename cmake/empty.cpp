// Keeps the game library non-empty while a folder has no sources yet.
