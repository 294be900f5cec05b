// Reads the NMEA 2000 PGN database (canboat.json) into the flat tables of
// n2k/pgn_database.h. Qt Core's JSON reader does the parsing; nothing of Qt leaks
// into the tables, so the Qt-free decoder reads them directly.
#pragma once

#include <QByteArray>
#include <QString>

#include "n2k/pgn_database.h"

namespace n2kdb {

// The database from the JSON text; false with a message naming what is wrong.
bool parsePgnDatabase(const QByteArray& json, n2k::PgnDatabase& out, QString& error);

// The database from a file; false with a message that names the file. Prepared
// tables beside it (tablesImagePath) are read instead of the JSON when they were made
// from the file as it is now.
bool loadPgnDatabase(const QString& path, n2k::PgnDatabase& out, QString& error);

// Where the prepared tables of a database file are kept: "canboat.json.tables".
QString tablesImagePath(const QString& databasePath);

// Reads the database file and writes its prepared tables to imagePath; false with a
// message naming the file at fault.
bool writeTablesImageFor(const QString& databasePath, const QString& imagePath, QString& error);

// The database the running program finds (database_location.h): what the programs
// load at start-up.
bool loadProgramPgnDatabase(n2k::PgnDatabase& out, QString& error);

// The program's one database, loaded on the first call; nullptr (with the reason in
// `error`, on every call) when it cannot be loaded. Not for use from several threads.
const n2k::PgnDatabase* programPgnDatabase(QString& error);
// The same, saying once on standard error ("PROGRAM: NMEA 2000 PGNs are shown raw:
// reason") when it cannot be loaded: what a program calls at its first NMEA 2000 line.
const n2k::PgnDatabase* programPgnDatabaseOrSay(const char* program);

}  // namespace n2kdb
