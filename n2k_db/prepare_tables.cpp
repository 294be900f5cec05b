// Build step: turns the PGN database into the prepared tables the programs read at
// start-up (n2k/pgn_tables_image.h), so that none of them parses the JSON.
//   tw-prepare-pgn-tables DATABASE.json OUTPUT
#include <QCoreApplication>
#include <QString>
#include <cstdio>

#include "n2k_db/database_loader.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATABASE.json OUTPUT\n", argv[0]);
        return 2;
    }
    QString error;
    if (!n2kdb::writeTablesImageFor(QString::fromLocal8Bit(argv[1]),
                                    QString::fromLocal8Bit(argv[2]), error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(error));
        return 1;
    }
    return 0;
}
