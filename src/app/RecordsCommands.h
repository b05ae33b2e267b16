#pragma once

#include <QString>

#include <optional>

// The commands that take the family's records elsewhere and back, without
// the main window: a backup to a file of the user's choice, a restore from
// one, and the month records as a spreadsheet table. Each returns the exit
// status; on any failure it writes nothing and says why in one sentence.
namespace recordscommands {

// The user's documents folder (the home folder where there is none): where
// reports and exports go when no file is named.
QString documentsFolder();

// `--backup FILE [--force]`: a checked copy of the database at FILE, never
// over an existing file unless force is true. Neither this nor the other
// commands ever write the family's database, its journal or its backups.
int backupTo(const QString &file, bool force);

// `--restore FILE`: the family's file replaced by the backup FILE; the
// replaced file is kept in the backups' folder.
int restoreFrom(const QString &file);

// `--export FILE [--child NAME] [--force]`: the month records as CSV at
// FILE, never over an existing file unless force is true.
int exportTo(const QString &file, const std::optional<QString> &child, bool force);

// The desktop's actions: dialogs, then the same work, never over a file that
// is there. Both say first when the program has the records open, before any
// dialog.
// A save dialog that proposes "禾岚备份-<date>.mdb" in the documents folder
// (the home folder while there is none).
int backupWithDialog();
// The list of the backups (RestoreList), or a file from elsewhere, then a
// confirmation that names what the chosen backup holds.
int restoreWithDialog();
// Into the documents folder, under a new name.
int exportToDocuments();

} // namespace recordscommands
