// The relay's command line:
//   tidewright-relay SOURCE... --forward OUTPUT... [--baud N] [--stats-every SECONDS]
#pragma once

#include <QString>
#include <QStringList>

namespace relay {

struct RelayOptions {
    QStringList sources;
    QStringList outputs;
    int baud = 4800;        // serial sources; the pace of a replayed log
    int statsSeconds = 60;  // how often the counters are logged
};

enum class RelayStart { Run, Help, Version, Error };

// Reads the arguments (argv[0] first). Help and Version: *text holds what to print;
// Error: *text holds the message.
RelayStart parseRelayOptions(const QStringList& arguments, RelayOptions& options, QString* text);

}  // namespace relay
