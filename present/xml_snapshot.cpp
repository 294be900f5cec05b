#include "present/xml_snapshot.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "nmea/sentence_parsers.h"
#include "present/nmea_fields.h"

namespace present {

namespace {

struct SnapshotKind {
    int code;
    const char* fileName;
    const char* root;
};

constexpr SnapshotKind kSnapshots[] = {
    {nmeaz::kCodeGga, "gga.xml", "gga"},
    {nmeaz::kCodeRmc, "rmc.xml", "rmc"},
    {nmeaz::kCodeGll, "gll.xml", "gll"},
};

const SnapshotKind* snapshotKind(int code) {
    for (const SnapshotKind& kind : kSnapshots) {
        if (kind.code == code) {
            return &kind;
        }
    }
    return nullptr;
}

// XML 1.0 cannot carry most control characters; one of them (typically the NUL of an
// empty sentence field) would make the whole document unreadable, so such a field is
// written as an empty element.
bool isXmlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 || u == 0x09 || u == 0x0A || u == 0x0D;
}

}  // namespace

QString snapshotFileName(int code) {
    const SnapshotKind* kind = snapshotKind(code);
    return kind ? QString::fromLatin1(kind->fileName) : QString();
}

QByteArray snapshotDocument(int code, const void* record, const QString& currentTime) {
    const SnapshotKind* kind = snapshotKind(code);
    if (kind == nullptr || record == nullptr) {
        return QByteArray();
    }
    QByteArray document;
    QXmlStreamWriter writer(&document);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QLatin1StringView(kind->root));
    writer.writeTextElement(QLatin1StringView("current_time"), currentTime);
    // The elements carry the record's fields under their own names, in record order.
    for (const nmeaz::FieldLayout& field : nmeaRecordFields(code)) {
        QString value = formatNmeaField(&field, record);
        if (field.kind == FieldKind::Char && !isXmlCharacter(value.front())) {
            value.clear();
        }
        writer.writeTextElement(QLatin1StringView(field.name), value);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return document;
}

bool saveSnapshot(int code, const void* record, const QString& directory, QString* error) {
    const SnapshotKind* kind = snapshotKind(code);
    if (kind == nullptr) {
        return false;
    }
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    return writeSnapshotDocument(code, snapshotDocument(code, record, now), directory, error);
}

bool writeSnapshotDocument(int code, const QByteArray& document, const QString& directory,
                           QString* error) {
    const SnapshotKind* kind = snapshotKind(code);
    if (kind == nullptr) {
        return false;
    }

    const QString target = directory.isEmpty()
                               ? QString::fromLatin1(kind->fileName)
                               : QDir(directory).filePath(QString::fromLatin1(kind->fileName));
    // The temporary file sits beside the target so the rename stays within one file
    // system; the process id keeps two programs in one directory apart.
    const QString temporary =
        target + QStringLiteral(".tmp-") + QString::number(QCoreApplication::applicationPid());
    const auto fail = [&](const QString& reason) {
        if (error != nullptr) {
            *error =
                QCoreApplication::translate("Snapshot", "Cannot write %1: %2")
                    .arg(QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath()), reason);
        }
        return false;
    };
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(file.errorString());
    }
    const bool written = file.write(document) == document.size() && file.flush();
    const QString writeError = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(temporary);
        return fail(written ? file.errorString() : writeError);
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temporary);
        return fail(reason);
    }
    return true;
}

}  // namespace present
