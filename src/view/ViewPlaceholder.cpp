// Keeps the library target valid while its folder has no sources yet.
