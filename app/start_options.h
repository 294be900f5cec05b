// The monitor's command line: tidewright [--source SOURCE] [--baud N] [--forward OUTPUT]...
// [--help].
#pragma once

#include <QString>
#include <QStringList>

struct StartOptions {
    QString source;  // empty: ask with the setup dialog
    int baud = 4800;
    QStringList forward;  // outputs for this run (--forward), instead of the remembered ones
};

enum class StartOutcome { Run, Help, Version, Error };

// Reads the arguments (argv[0] first). Help: *text holds the usage; Version: *text
// holds the version line; Error: *text holds the message.
StartOutcome parseStartOptions(const QStringList& arguments, StartOptions& options, QString* text);
