#pragma once
// Names of the files the program keeps in its working directory.

namespace ztk::files {
inline constexpr const char PortConfig[] = "fbdves.cfg";
inline constexpr const char ProductImage[] = "BDforVes.bd";
inline constexpr const char CommonDataBlock[] = "BDpost.pd";
inline constexpr const char ProductStore[] = "LM_T.db";
inline constexpr const char TableName[] = "lm_t1";
// Names the PostgreSQL server that holds the table instead of "LM_T.db".
inline constexpr const char ServerSettings[] = "database.ini";
// The shop's scales, one group each.
inline constexpr const char ScalesList[] = "scales.ini";
// Held by the running `sync --watch` of the folder (its PID inside).
inline constexpr const char WatchLock[] = "ztk-sync.lock";
} // namespace ztk::files
