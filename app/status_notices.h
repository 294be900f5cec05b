// Problems the user must know about while the capture goes on (a snapshot that cannot
// be written, a recording that stopped growing), shown together in one status bar
// field until they are over. Each kind of problem has a key; setting the same text
// again changes nothing, so a failure repeated on every sentence shows once.
#pragma once

#include <QLabel>
#include <QMap>
#include <QString>

class StatusNotices : public QLabel {
    Q_OBJECT

public:
    explicit StatusNotices(QWidget* parent = nullptr);

    void set(const QString& key, const QString& text);
    void clear(const QString& key);
    QString notice(const QString& key) const { return notices.value(key); }

private:
    void refresh();

    QMap<QString, QString> notices;
};
