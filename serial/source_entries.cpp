#include "serial/source_entries.h"

#include <QComboBox>

#include "sources/source_address.h"
#include "sources/source_memory.h"

void addNetworkEntries(QComboBox& ports) {
    ports.addItem(QStringLiteral("UDP :%1").arg(sources::kDefaultNmeaPort));
    ports.addItem(QStringLiteral("TCP localhost:%1").arg(sources::kDefaultNmeaPort));
}

void preselectRememberedSource(QComboBox& ports, QComboBox& rates) {
    const sources::RememberedSource last = sources::rememberedSource();
    if (last.text.isEmpty()) {
        return;
    }
    const int listed = ports.findText(last.text);
    if (listed >= 0) {
        ports.setCurrentIndex(listed);
    } else if (const auto where = sources::parseSourceAddress(last.text);
               where && where->kind != sources::SourceAddress::Kind::Serial) {
        ports.setEditText(last.text);
    } else {
        return;
    }
    rates.setCurrentIndex(last.baud == 4800 ? 0 : 1);
}

QString sourceProblem(const QString& chosen) {
    QString problem;
    if (!chosen.trimmed().isEmpty() && !sources::parseSourceAddress(chosen, &problem)) {
        return problem;
    }
    return {};
}
