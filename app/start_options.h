// The monitor's command line: tidewright [--source SOURCE] [--baud N] [--show-dock NAME]
// [--plot KEY FIELD]... [--forward OUTPUT]... [--help].
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct StartOptions {
    QString source;  // empty: ask with the setup dialog
    int baud = 4800;
    QString showDock;  // the title of the dock to bring forward at start; empty: none
    // Plots opened at start: a sentence key or an MMSI, and a field of it.
    QList<QPair<QString, QString>> plots;
    QStringList forward;  // outputs for this run (--forward), instead of the remembered ones
};

enum class StartOutcome { Run, Help, Version, Error };

// Reads the arguments (argv[0] first). Help: *text holds the usage; Version: *text
// holds the version line; Error: *text holds the message.
StartOutcome parseStartOptions(const QStringList& arguments, StartOptions& options, QString* text);
