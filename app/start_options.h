// The monitor's command line: tidewright [--source SOURCE] [--baud N] [--show-dock NAME]
// [--help].
#pragma once

#include <QString>
#include <QStringList>

struct StartOptions {
    QString source;  // empty: ask with the setup dialog
    int baud = 4800;
    QString showDock;  // the title of the dock to bring forward at start; empty: none
};

enum class StartOutcome { Run, Help, Version, Error };

// Reads the arguments (argv[0] first). Help: *text holds the usage; Version: *text
// holds the version line; Error: *text holds the message.
StartOutcome parseStartOptions(const QStringList& arguments, StartOptions& options, QString* text);
