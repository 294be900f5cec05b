// Refuses an output that would feed the source it forwards: a TCP server on the port a
// local TCP source reads, datagrams to the port a UDP source listens on here (sent to
// this host, a broadcast or the group it joined), or the serial device being read.
#pragma once

#include <QString>
#include <QStringList>

#include "outputs/output_address.h"
#include "sources/source_address.h"

namespace outputs {

// Empty when the output cannot reach the source; else why it would.
QString loopReason(const OutputAddress& output, const sources::SourceAddress& source);

// The same against every source string that parses; unparsable ones cannot loop.
QString loopReason(const OutputAddress& output, const QStringList& sources);

}  // namespace outputs
