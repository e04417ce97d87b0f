#pragma once
// The per-user data folder and the Documents folder.
//
// Both can be pointed elsewhere with the environment variables QUILLON_DATA_DIR and
// QUILLON_DOCUMENTS_DIR (tests, a second instance). Neither function creates a folder.
#include <QString>

namespace quillon {

// $QUILLON_DATA_DIR when set and non-empty, else <GenericDataLocation>/quillon
// (~/.local/share/quillon).
QString dataDir();

// $QUILLON_DOCUMENTS_DIR when set and non-empty, else the user's Documents folder.
QString documentsDir();

// A file in the data folder: dataDir() joined with name.
QString dataFile(const QString &name);

// Creates the folder with any missing parents; true when it exists afterwards.
bool ensureDir(const QString &path);

}  // namespace quillon
