#pragma once
// Test environment: every test gets its own empty data and Documents folders, so no
// test reads or writes a real home folder and tests never see each other's files.
#include <QString>

namespace quillon::test {

// Installs the per-test folder listener, and a message handler that fails the running
// test when the program asks for a phrase key without an English phrase; call once from
// main after InitGoogleTest.
void installTestEnvironment();

// The folders of the running test (also in QUILLON_DATA_DIR / QUILLON_DOCUMENTS_DIR).
QString testDataDir();
QString testDocumentsDir();

// Path of a file under tests/fixtures.
QString fixturePath(const QString &relative);

}  // namespace quillon::test
